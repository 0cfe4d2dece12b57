#pragma once
// The client side of a DDE conversation: the Link* members of a text box.
//
// A conversation is carried by the transport of CurrentTransport() (Transport.h):
// a Unix-domain socket to the server of ServiceDirectory(), or Wine's DDE through
// the bridge.  Every failure is raised as vb::VbError with the number a VB
// program would see, whatever carries it:
//   282  no server answered the initiate (no socket, refused topic, the
//        server did not accept the topic within LinkTimeout); also a service
//        folder that is not this user's own with mode 0700, or a server that
//        runs as another user (the log, standard error, tells why once)
//   285  the server refused a request, execute or poke
//   286  no reply within LinkTimeout
//   290  the reply frame was malformed or oversized ("Data in wrong format")
//   291  the server closed the conversation before replying
//   293  Request/Execute/Poke with no conversation open
//   297  LinkMode set with a LinkTopic that names no application
//   380  invalid LinkMode or LinkTimeout value
//   285  LinkMode 1 (automatic) or 3 (notify): not supported by this transport;
//        also a Poke or Execute larger than the frame limit, and a text (item,
//        command or data) that the server's code page cannot hold exactly: it is
//        not sent (LettersNotInCodePage tells the letters)
// After 290 or 291 the conversation is gone (LinkMode reads 0).  After 286 it
// stays open and the late reply is discarded when it arrives.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/dde/Frame.h"
#include "platform/vbrt/VbError.h"

namespace dde {

enum LinkModeKind { vbLinkNone = 0, vbLinkAutomatic = 1, vbLinkManual = 2, vbLinkNotify = 3 };

// DDE numbers not named in vb::ErrNo.
inline constexpr int kDdeWrongFormat = 290;
inline constexpr int kDdeAppQuit = 291;

class Channel;

class Link {
 public:
  Link();
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;
  Link(Link&&) noexcept;
  Link& operator=(Link&&) noexcept;

  // 2 opens a conversation on LinkTopic, 0 ends any open one.
  int LinkMode() const { return mode_; }
  void SetLinkMode(int mode);

  // "application|topic"; application and topic are matched without regard to case.
  const std::string& LinkTopic() const { return topic_; }
  void SetLinkTopic(std::string topic) { topic_ = std::move(topic); }

  const std::string& LinkItem() const { return item_; }
  void SetLinkItem(std::string item) { item_ = std::move(item); }

  // Tenths of a second; default 50; -1 waits the longest (65535 tenths).
  int LinkTimeout() const { return timeout_; }
  void SetLinkTimeout(int tenths);

  // LinkRequest: asks for LinkItem and returns the reply text.
  std::string Request();
  // LinkExecute: sends a command string.
  void Execute(const std::string& command);
  // LinkPoke: sends text (the text box's Text) as the new value of LinkItem.
  void Poke(const std::string& text);

 private:
  int WaitMilliseconds() const;
  Frame Transact(const Frame& frame);
  void Expect(const Frame& reply, FrameType ok);
  void Drop();

  int mode_ = vbLinkNone;
  std::string topic_;
  std::string item_;
  int timeout_ = 50;
  std::unique_ptr<Channel> conv_;
};

// The wait of a LinkTimeout (tenths; -1 the longest) in milliseconds.
int WaitMilliseconds(int linkTimeout);

// The letters a refused text held that the server's code page lacks, when `e` is that 285;
// "" for any other error.
std::string LettersNotInCodePage(const vb::VbError& e);

// The per-user folder where servers listen, created with mode 0700:
// $VELMORA_DDE_DIR when set (tests), else $XDG_RUNTIME_DIR/velmora-dde,
// else $VELMORA_PREFIX/velmora-dde-<uid>, else /tmp/velmora-dde-<uid>.
std::filesystem::path ServiceDirectory();

// The socket a server for `application` listens on (the name lower-cased).
std::filesystem::path SocketPath(const std::string& application);

}  // namespace dde
