#include "tests/support/SampleForm.h"

using namespace forms;

SampleForm::SampleForm() : Form("frmSample", VELMORA_SOURCE_DIR "/tests/support/sample.layout") {
  mnuFile_Entry.Bind(&Menu::Click,
                     [this](int Index) { Log("mnuFile_Entry_Click " + std::to_string(Index)); });
  txtName.Change = [this] { Log("txtName_Change " + txtName.Text()); };
  cboGeneral.Bind(&ComboBox::Click,
                  [this](int Index) { Log("cboGeneral_Click " + std::to_string(Index)); });
  cboGeneral.Bind(&ComboBox::Change,
                  [this](int Index) { Log("cboGeneral_Change " + std::to_string(Index)); });
  lstFavorites.Click = [this] {
    Log("lstFavorites_Click " + std::to_string(lstFavorites.ListIndex()));
  };
  filCapture.Click = [this] { Log("filCapture_Click " + std::to_string(filCapture.ListIndex())); };
  filCapture.Scroll = [this] { Log("filCapture_Scroll " + std::to_string(filCapture.TopIndex())); };
  dirFind.Change = [this] { Log("dirFind_Change " + dirFind.Path()); };
  dirFind.Click = [this] { Log("dirFind_Click " + std::to_string(dirFind.ListIndex())); };
  drvFind.Change = [this] { Log("drvFind_Change " + drvFind.Drive()); };
  optScreen.Bind(&OptionButton::Click,
                 [this](int Index) { Log("optScreen_Click " + std::to_string(Index)); });
  ckbPicPreview.Click = [this] {
    Log("ckbPicPreview_Click " + std::to_string(ckbPicPreview.Value()));
  };
  hsbquality.Change = [this] { Log("hsbquality_Change " + std::to_string(hsbquality.Value())); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { Log("cmdCancel_Click"); };
  imaTrash.Click = [this] { Log("imaTrash_Click"); };
  imaTrash.DragDrop = [this](Control& Source, float, float) {
    Log("imaTrash_DragDrop " + Source.Name() + "(" + std::to_string(Source.Index()) + ")");
  };
  TabComp.TabClick = [this](int PreviousTab) {
    Log("TabComp_Click " + std::to_string(PreviousTab) + "->" + std::to_string(TabComp.Tab()));
  };
  DTPicker1.Change = [this] { Log("DTPicker1_Change " + DTPicker1.Value().ToString()); };
  GeaThumb.Bind(&Gear::MouseDown, [this](int Index, int Button, int, float, float) {
    GeaThumb_MouseDown(Index, Button);
  });
  GeaThumb.Bind(&Gear::DragOver, [this](int Index, Control& Source, float, float, int State) {
    GeaThumb_DragOver(Index, Source, State);
  });
  GeaThumb.Bind(&Gear::DragDrop, [this](int Index, Control& Source, float, float) {
    GeaThumb_DragDrop(Index, Source);
  });
  GeaThumb.Bind(&Gear::DblClick,
                [this](int Index) { Log("GeaThumb_DblClick " + std::to_string(Index)); });
  imaComp.Bind(&Gear::DragDrop, [this](int Index, Control& Source, float, float) {
    imaComp_DragDrop(Index, Source);
  });
}

void SampleForm::Form_QueryUnload(int& Cancel, int UnloadMode) {
  Log("Form_QueryUnload " + std::to_string(UnloadMode));
  if (refuseClose) Cancel = 1;
}

void SampleForm::Form_Unload(int&) {
  Log("Form_Unload");
}

void SampleForm::Form_KeyDown(int& KeyCode, int Shift) {
  Log("Form_KeyDown " + std::to_string(KeyCode) + " " + std::to_string(Shift));
}

// As the program's thumbnails do: a press with any button but the right one
// gives the drag the drag icon and starts it.
void SampleForm::GeaThumb_MouseDown(int Index, int Button) {
  Log("GeaThumb_MouseDown " + std::to_string(Index));
  if (Button == vbRightButton) return;
  GeaThumb[Index].SetDragIcon(imaDragDrop[0].Picture());
  GeaThumb[Index].Drag();
}

void SampleForm::GeaThumb_DragOver(int Index, Control& Source, int State) {
  Log("GeaThumb_DragOver " + std::to_string(Index) + " " + Source.Name() + " " +
      std::to_string(State));
}

void SampleForm::GeaThumb_DragDrop(int Index, Control& Source) {
  Log("GeaThumb_DragDrop " + std::to_string(Index) + " <- " + Source.Name() + "(" +
      std::to_string(Source.Index()) + ")");
}

void SampleForm::imaComp_DragDrop(int Index, Control& Source) {
  auto* src = dynamic_cast<Gear*>(&Source);
  Log("imaComp_DragDrop " + std::to_string(Index) + " <- " + Source.Name() + "(" +
      std::to_string(Source.Index()) + ") " + (src ? src->ThumbPath() : std::string()));
  if (src) imaComp[Index].SetThumbPath(src->ThumbPath());
}

void SampleForm::cmdOK_Click() {
  Log("cmdOK_Click");
  int answer = App::Current().MsgBox("Open the dialog?", vbYesNo + vbQuestion, "Sample");
  if (answer != vbYes) return;
  SampleDialog& dlg = FormInstance<SampleDialog>();
  dlg.Show(vbModal);
  dialogResult = dlg.answer;
  Log("dialog closed: " + dialogResult);
}

SampleDialog::SampleDialog() : Form("frmSampleDialog", "-") {
  cmdDone.Click = [this] { Unload(); };
}

void SampleDialog::Form_Load() {
  SetCaption("Sample Dialog");
  txtAnswer.SetText("default");
}

void SampleDialog::Form_Unload(int&) {
  answer = txtAnswer.Text();
}
