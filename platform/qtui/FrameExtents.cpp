#include "platform/qtui/FrameExtents.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

namespace qtui {
namespace {

xcb_connection_t* Connection() {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

xcb_atom_t ExtentsAtom(xcb_connection_t* c) {
  const char name[] = "_NET_FRAME_EXTENTS";
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

class ExtentsFilter : public QAbstractNativeEventFilter {
 public:
  ExtentsFilter(xcb_connection_t* c, std::function<void(WId, QMargins)> changed)
      : connection_(c), atom_(ExtentsAtom(c)), changed_(std::move(changed)) {}

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
    if (notify->atom != atom_ || notify->state != XCB_PROPERTY_NEW_VALUE) return false;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, notify->window, atom_, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
      const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
      // left, right, top, bottom
      changed_(notify->window, QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]),
                                        static_cast<int>(v[1]), static_cast<int>(v[3])));
    }
    std::free(reply);
    return false;
  }

 private:
  xcb_connection_t* connection_;
  xcb_atom_t atom_;
  std::function<void(WId, QMargins)> changed_;
};

}  // namespace

void WatchFrameExtents(std::function<void(WId, QMargins)> changed) {
  static ExtentsFilter* filter = nullptr;  // for the whole run
  if (filter || QGuiApplication::platformName() != "xcb") return;
  xcb_connection_t* c = Connection();
  if (!c) return;
  filter = new ExtentsFilter(c, std::move(changed));
  QCoreApplication::instance()->installNativeEventFilter(filter);
}

}  // namespace qtui
