#include "platform/forms/App.h"

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

}  // namespace forms
