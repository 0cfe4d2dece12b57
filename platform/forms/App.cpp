#include "platform/forms/App.h"

#include "platform/forms/Form.h"
#include "platform/forms/HeadlessApp.h"

namespace forms {
namespace {

App* installed = nullptr;

}  // namespace

App& App::Current() {
  if (installed) return *installed;
  // No App installed (a tool or a test that shows nothing): a headless one
  // answers every box with its default button.
  static HeadlessApp fallback(false);
  return fallback;
}

void App::Install(App* app) {
  installed = app;
}

Form* OwnWindowTitled(const std::string& title, const std::string& programTitle) {
  Form* prefix = nullptr;
  Form* modal = nullptr;
  Form* first = nullptr;
  for (Form* f : Forms()) {
    if (!f->Visible()) continue;
    if (f->Caption() == title) return f;
    if (!prefix && !title.empty() && f->Caption().rfind(title, 0) == 0) prefix = f;
    if (f->IsModal()) modal = f;
    if (!first) first = f;
  }
  if (prefix) return prefix;
  if (title.empty() || title != programTitle) return nullptr;
  return modal ? modal : first;
}

}  // namespace forms
