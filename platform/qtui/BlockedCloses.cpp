#include "platform/qtui/BlockedCloses.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

namespace qtui {
namespace {

class CloseRequestFilter : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t" || watchers == 0) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format != 32 || client->data.data32[0] != DeleteAtom()) return false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->internalWinId() == client->window && w != QApplication::activeModalWidget()) {
        requested.emplace_back(w);
      }
    }
    return false;  // Qt goes on as always (and drops it)
  }

  int watchers = 0;
  std::vector<QPointer<QWidget>> requested;

 private:
  xcb_atom_t DeleteAtom() {
    if (deleteAtom_ != XCB_ATOM_NONE) return deleteAtom_;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return XCB_ATOM_NONE;
    const char name[] = "WM_DELETE_WINDOW";
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        x11->connection(), xcb_intern_atom(x11->connection(), 1, std::strlen(name), name), nullptr);
    if (reply) deleteAtom_ = reply->atom;
    std::free(reply);
    return deleteAtom_;
  }

  xcb_atom_t deleteAtom_ = XCB_ATOM_NONE;
};

CloseRequestFilter& Filter() {
  static CloseRequestFilter* filter = [] {
    auto* f = new CloseRequestFilter;
    QCoreApplication::instance()->installNativeEventFilter(f);
    return f;
  }();
  return *filter;
}

}  // namespace

BlockedCloses::BlockedCloses() {
  if (QGuiApplication::platformName() == "xcb") ++Filter().watchers;
}

BlockedCloses::~BlockedCloses() {
  if (QGuiApplication::platformName() == "xcb") --Filter().watchers;
}

void BlockedCloses::CarryOut() {
  if (QGuiApplication::platformName() != "xcb" || Filter().watchers > 1) return;
  std::vector<QPointer<QWidget>> requested;
  requested.swap(Filter().requested);
  for (const QPointer<QWidget>& w : requested) {
    if (w && w->isVisible()) w->close();
  }
}

}  // namespace qtui
