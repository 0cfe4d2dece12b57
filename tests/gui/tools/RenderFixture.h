#pragma once
// Fixture of the dialog render tests: a throw-away prefix, every program-wide variable reset, a
// main window of type Main (15360 x 10200 twips at the screen's corner) as the dialogs' owner,
// and the dialogs drawn by the Qt renderer offscreen into PNG files in the test output folder.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/imaging/Imaging.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Offscreen.h"
#include "tests/support/TempPrefix.h"

// A main window without a layout and without controls of its own.
class PlainMainWindow : public core::MainFormControls {
 public:
  PlainMainWindow() : MainFormControls("frmMain", "-") {}
};

// A main window with the capture-folder label and file list that the dialogs read and set.
class CaptureMainWindow : public core::MainFormControls {
 public:
  CaptureMainWindow() : MainFormControls("frmMain", "-") {}
  forms::Label lblCapDir{*this, "lblCapDir"};
  forms::FileListBox filCapture{*this, "filCapture"};
};

template <class Main = PlainMainWindow>
class RenderFixture : public ::testing::Test {
 protected:
  RenderFixture() {
    core::ResetGlobals();
    main.Move(0, 0, 15360, 10200);
    core::SetMainForm(&main);
  }
  ~RenderFixture() override {
    for (forms::Form* f : rendered_) qtui::FormWindow::Release(*f);
    forms::ResetFormInstances();
    core::SetMainForm(nullptr);
    core::ResetGlobals();
  }

  // The program INI file in C:\APPRAISE and the capture directory C:\GLENVUE.
  void UseProgramFolders() {
    prefix.MakeDir("C:\\APPRAISE");
    prefix.MakeDir("C:\\GLENVUE");
    core::gIniDir = "C:\\APPRAISE\\";
    core::gMainIniPath = "C:\\APPRAISE\\VELMORA.INI";
    core::gCaptureDir = "C:\\GLENVUE\\";
  }

  // A 320 x 240 JPEG: the colour argb above a green band.
  void Picture(const std::string& winPath, std::uint32_t argb) {
    std::vector<std::uint32_t> px(320 * 240);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = (i / 320 < 150) ? argb : 0xFF4D8A3C;
    imaging::SaveJpeg(imaging::Picture::FromPixels(320, 240, std::move(px)), prefix.Host(winPath),
                      85);
  }

  static std::string Output(const std::string& name) {
    return (std::filesystem::path(VELMORA_TEST_OUTPUT_DIR) / name).string();
  }

  // Renders the window and returns the picture written (null when none was).
  QImage RenderImage(forms::Form& form, const std::string& name) {
    Track(form);
    const std::string png = Output(name);
    EXPECT_TRUE(qtui::RenderFormToPng(form, png));
    return QImage(QString::fromStdString(png));
  }

  // Renders, then checks the picture has the window's size and is not one flat colour.
  void Render(forms::Form& form, const std::string& name) {
    Track(form);
    const std::string png = Output(name);
    ASSERT_TRUE(qtui::RenderFormToPng(form, png));
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), form.ScaleWidth() / 15, 40);
    const QRgb first = image.pixel(image.width() / 2, image.height() / 2);
    bool varied = false;
    for (int y = 0; y < image.height() && !varied; y += 7)
      for (int x = 0; x < image.width() && !varied; x += 7) varied = image.pixel(x, y) != first;
    EXPECT_TRUE(varied);
  }

  // Closes the windows drawn so far, so that the next opening is a fresh window.
  void CloseRendered() {
    for (forms::Form* f : rendered_) qtui::FormWindow::Release(*f);
    rendered_.clear();
    forms::ResetFormInstances();
  }

  TempPrefix prefix;
  Main main;
  std::vector<forms::Form*> rendered_;

 private:
  // The window's renderer is released before the form goes.
  void Track(forms::Form& form) {
    if (std::find(rendered_.begin(), rendered_.end(), &form) == rendered_.end())
      rendered_.push_back(&form);
  }
};
