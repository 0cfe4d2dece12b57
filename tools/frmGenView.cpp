#include "tools/frmGenView.h"

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/lstControl.h"
#include "core/modListLoad.h"
#include "core/modVBCommon.h"
#include "core/modVelmodSlots.h"
#include "core/mod_Resize.h"
#include "platform/vbrt/Strings.h"

namespace tools {

namespace {

constexpr const char* kSection = "GENERAL VIEWS";
constexpr const char* kPrefix = "GENERALVIEW";

// Binds an event to a handler run as an event procedure.
template <class Ev, class Fn>
void Bind(Ev& event, const char* name, Fn fn) {
  event = [name, fn] { core::RunEvent(name, fn); };
}

}  // namespace

frmGenView::frmGenView() : Form("frmGenView") {
  Bind(lstViews.Click, "lstViews_Click", [this] { lstViews_Click(); });
  Bind(lstViews.DblClick, "lstViews_DblClick", [this] { lstViews_DblClick(); });
  Bind(txtView.GotFocus, "txtView_GotFocus", [this] { txtView_GotFocus(); });
  Bind(cmdAddView.Click, "cmdAddView_Click", [this] { cmdAddView_Click(); });
  Bind(imaAdd.Click, "imaAdd_Click", [this] { cmdAddView_Click(); });
  Bind(cmdDelView.Click, "cmdDelView_Click", [this] { cmdDelView_Click(); });
  Bind(imaDelView.Click, "imaDelView_Click", [this] { cmdDelView_Click(); });
  Bind(cmdOK.Click, "cmdOK_Click", [this] { cmdOK_Click(); });
  Bind(imaOK.Click, "imaOK_Click", [this] { cmdOK_Click(); });
  Bind(cmdCancel.Click, "cmdCancel_Click", [this] { cmdCancel_Click(); });
  Bind(imaCancel.Click, "imaCancel_Click", [this] { cmdCancel_Click(); });
  Bind(ckbPicPreview.Click, "ckbPicPreview_Click", [this] { ckbPicPreview_Click(); });
}

void frmGenView::PlaceWindow() {
  core::MainFormControls& main = core::frmMain();
  if (core::gScreenSize == 1) {
    SetHeight(8400);
    lstViews.SetHeight(5100);
    frabuttons.SetTop(4460);
    imaCancel.SetLeft(1820);
    imaOK.SetLeft(1820);
    cmdOK.SetTop(3020);
    cmdCancel.SetTop(3020);
    core::ResetFormPos(*this);
  } else {
    SetHeight(9100);
    Move(main.Left() + (main.Width() - Width()) / 2, main.Top() + (main.Height() - Height()) / 2,
         Width(), Height());
  }
  SetIcon(main.Icon());
}

void frmGenView::Form_Load() {
  PlaceWindow();
  if (!core::gbUseButtons) {
    cmdAddView.SetVisible(false);
    cmdDelView.SetVisible(false);
    cmdOK.SetVisible(false);
    cmdCancel.SetVisible(false);
  }
  core::LoadListFromIni(lstViews, core::gMainIniPath, kSection, kPrefix, -1);
  if (!core::gbSetupOpen) {
    ckbPicPreview.SetVisible(true);
    geaPreview.SetVisible(ckbPicPreview.Value() == forms::vbChecked);
    core::ErrLoadPict(geaPreview, core::gDragSourcePath);
    txtView.SetText("GENERAL VIEW");
    lblViews.SetCaption("Select the view for this photo or type one in and select 'OK'.");
  } else {
    geaPreview.SetVisible(false);
    ckbPicPreview.SetVisible(false);
    lblViews.SetCaption(
        "Type a new view and select 'ADD'  - OR - Highlight view from list and select "
        "'DELETE'.");
  }
  bListChanged = core::vbFalse;
}

// The close box answers as Cancel does: the caller abandons the drop.
void frmGenView::Form_QueryUnload(int& /*Cancel*/, int UnloadMode) {
  if (UnloadMode == forms::vbFormControlMenu) core::gGenViewCaption = kGenViewCancel;
}

void frmGenView::Form_Unload(int& /*Cancel*/) {
  if (bListChanged) core::SaveListToIni(lstViews, core::gMainIniPath, kSection, kPrefix, -1);
}

void frmGenView::lstViews_Click() {
  txtView.SetText(lstViews.Text());
}

void frmGenView::lstViews_DblClick() {
  txtView.SetText(lstViews.Text());
  cmdOK_Click();
}

void frmGenView::txtView_GotFocus() {
  core::SelectAllText(txtView);
}

void frmGenView::cmdAddView_Click() {
  core::lstAddUnique(lstViews, vb::Trim(vb::UCase(txtView.Text())));
  bListChanged = core::vbTrue;
}

void frmGenView::cmdDelView_Click() {
  const std::string t = vb::Trim(vb::UCase(lstViews.Text()));
  // The entry is found without regard to case, as the test for it is: a caption stored in
  // lower case is deleted too.
  const int i = core::lstFindIndex(lstViews, t, false);
  if (i >= 0) lstViews.RemoveItem(i);
  bListChanged = core::vbTrue;
}

void frmGenView::cmdOK_Click() {
  core::gGenViewCaption = txtView.Text();
  Unload();
}

void frmGenView::cmdCancel_Click() {
  core::gGenViewCaption = kGenViewCancel;
  Unload();
}

void frmGenView::ckbPicPreview_Click() {
  geaPreview.SetVisible(ckbPicPreview.Value() == forms::vbChecked);
  core::gPreviewCopyPics = static_cast<std::int16_t>(ckbPicPreview.Value());
}

void ShowGenView() {
  forms::FormInstance<frmGenView>().Show(forms::vbModal);
}

}  // namespace tools
