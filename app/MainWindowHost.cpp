#include "app/MainWindowHost.h"

#include <optional>
#include <string>

#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/dde/Transport.h"
#include "platform/forms/Form.h"
#include "platform/qtui/FormWindow.h"

namespace app {

namespace {

// The resizer keeps what it stores in a section of the program's INI file.
class IniStore : public qtui::SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& section, const std::string& key) override {
    if (core::gMainIniPath.empty()) return std::nullopt;
    const std::string value = core::ReadIni(core::gMainIniPath, section, key, "\x01");
    if (value == "\x01") return std::nullopt;
    return value;
  }
  void Write(const std::string& section, const std::string& key,
             const std::string& value) override {
    if (!core::gMainIniPath.empty()) core::WriteIni(core::gMainIniPath, section, key, value);
  }
};

IniStore& Store() {
  static IniStore store;
  return store;
}

}  // namespace

void StartMainWindow() {
  dde::PrepareTransport();  // under Wine the bridge starts while the window is built
  qtui::FormWindow::SetResizerStore(&Store());
  photo_pages::frmMain& form = photo_pages::MainWindow();
  if (!form.Loaded()) return;
  // The start-up has run: the resizer's settings are final (a small screen switches some off).
  qtui::FormWindow::For(form)->ApplyResizerSettings();
  form.Show();
}

}  // namespace app
