#pragma once
// What carries the link's conversations: a transport opens a conversation with a server and
// moves one transaction's frames there and back.  The link keeps the operations, their order
// and the error numbers; a transport only reports how a transfer went (IoStatus).
//
// Two transports: Unix-domain sockets to the servers of ServiceDirectory() (the KEP stand-in),
// and Wine's DDE through a bridge program running in the user's Wine prefix (WineTransport.h).

#include <memory>
#include <string>
#include <vector>

#include "platform/dde/Connection.h"
#include "platform/dde/Frame.h"

namespace dde {

// One conversation as a transport carries it (the server side sees it as a Conversation).
class Channel {
 public:
  virtual ~Channel() = default;
  // Sends a request, execute or poke and waits until `deadline` for its answer.  After
  // kTimeout the conversation stays usable: the late answer is discarded when it comes.
  virtual IoStatus Transact(const Frame& frame, Clock::time_point deadline, Frame* reply) = 0;
  // Ends the conversation; best effort, never raises.
  virtual void Close() = 0;
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Opens a conversation with `application` on `topic`; nullptr when no server answered the
  // initiate by `deadline` (not running, refused the topic, unreachable).
  virtual std::unique_ptr<Channel> Open(const std::string& application, const std::string& topic,
                                        Clock::time_point deadline) = 0;
  // Gets ready for the first conversation without waiting for anything, so that what it needs
  // (Wine's bridge) starts while the program does other work.
  virtual void Prepare() {}
  // Asks now for `items` on `application` and `topic`, each as an operation of its own would
  // (open, request, close) and waiting `wait` for each, and keeps the answers for the operations
  // that follow in that order: the next conversation on `application` and `topic` gets the next
  // answer when it requests that item.  Any other conversation or transaction drops the rest,
  // and so does a moment's wait.  Where nothing is gained (the sockets) it does nothing.
  virtual void Prefetch(const std::string& application, const std::string& topic,
                        const std::vector<std::string>& items, std::chrono::milliseconds wait) {
    (void)application, (void)topic, (void)items, (void)wait;
  }
};

// Conversations over the Unix sockets of ServiceDirectory().
std::shared_ptr<Transport> MakeSocketTransport();

// The transport new conversations use: the one set by UseTransport, else the one
// ChooseTransport() picks at first use.
std::shared_ptr<Transport> CurrentTransport();
// nullptr goes back to the choice at the next use.
void UseTransport(std::shared_ptr<Transport> transport);
// Chooses the transport now and lets it get ready (Transport::Prepare); what the choice has to
// say goes to the DDE log at the next CurrentTransport(), as without this call.
void PrepareTransport();

}  // namespace dde
