#include "platform/qtui/BlockedCloses.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qtui {
namespace {

// Which close requests came before the box: on opening, the box sends the program a marker
// through the X server, which delivers it after every event it had for the program then.
class CloseRequestFilter : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t" || watchers == 0) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format != 32) return false;
    if (client->type == Atom(markerAtom_, "_VELMORA_BOX_OPENED")) {
      markersSeen = client->data.data32[0];
      return true;
    }
    // A close clicked while the box is up is dropped, as Windows drops it.
    if (client->data.data32[0] != Atom(deleteAtom_, "WM_DELETE_WINDOW") ||
        markersSeen == markersSent) {
      return false;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->internalWinId() == client->window && w != QApplication::activeModalWidget()) {
        requested.emplace_back(w);
      }
    }
    return false;  // Qt goes on as always (and drops it)
  }

  // Marks the end of what came before a box; nothing is remembered where no window can take it.
  void SendMarker() {
    xcb_connection_t* connection = Connection();
    QWidget* own = QApplication::activeWindow();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!own && w->internalWinId() != 0) own = w;
    }
    if (!connection || !own || own->internalWinId() == 0) return;
    xcb_client_message_event_t marker = {};
    marker.response_type = XCB_CLIENT_MESSAGE;
    marker.format = 32;
    marker.window = static_cast<xcb_window_t>(own->internalWinId());
    marker.type = Atom(markerAtom_, "_VELMORA_BOX_OPENED");
    marker.data.data32[0] = ++markersSent;
    xcb_send_event(connection, 0, marker.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&marker));
    xcb_flush(connection);
  }

  int watchers = 0;
  std::uint32_t markersSent = 0;
  std::uint32_t markersSeen = 0;
  std::vector<QPointer<QWidget>> requested;

 private:
  static xcb_connection_t* Connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
  }

  static xcb_atom_t Atom(xcb_atom_t& cached, const char* name) {
    if (cached != XCB_ATOM_NONE || !Connection()) return cached;
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        Connection(), xcb_intern_atom(Connection(), 0, std::strlen(name), name), nullptr);
    if (reply) cached = reply->atom;
    std::free(reply);
    return cached;
  }

  xcb_atom_t deleteAtom_ = XCB_ATOM_NONE;
  xcb_atom_t markerAtom_ = XCB_ATOM_NONE;
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
  if (QGuiApplication::platformName() != "xcb") return;
  ++Filter().watchers;
  Filter().SendMarker();
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
