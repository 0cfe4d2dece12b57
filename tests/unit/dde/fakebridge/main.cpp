// A stand-in for the DDE bridge on Linux, run by the Wine transport in place of Wine: it speaks
// the bridge's frames on its standard input and output.  Its mode is the name of the file it is
// given as its program: "cannot-start" refuses to start; "serve" accepts every topic but
// "Refused" and answers a request for item "timeout" or "gone" with the bridge's refusal for a
// DDE timeout or a lost server, "die" by ending at once, "bye" with "bye!" and then ending,
// any item poked before with what was poked, and any other item with item + "!"; the requests
// of a Requests frame as the bridge does them.

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/dde/Connection.h"
#include "platform/dde/Frame.h"

int main(int argc, char** argv) {
  using namespace dde;
  if (argc < 2) return 2;
  ::fcntl(STDIN_FILENO, F_SETFL, O_NONBLOCK);
  ::fcntl(STDOUT_FILENO, F_SETFL, O_NONBLOCK);
  Connection io(STDIN_FILENO, STDOUT_FILENO);
  const auto later = [] { return Clock::now() + std::chrono::seconds(30); };
  const auto answer = [&](FrameType type, std::vector<std::string> fields = {}) {
    io.Send(Frame{type, std::move(fields)}, later());
  };
  if (std::filesystem::path(argv[1]).filename() == "cannot-start") {
    answer(FrameType::kRefuse, {"no display"});
    return 1;
  }
  answer(FrameType::kAccept);
  std::map<std::string, std::string> poked;
  const auto reply = [&](const std::string& item) {
    if (item == "timeout") return Frame{FrameType::kRefuse, {kReasonTimeout}};
    if (item == "gone") return Frame{FrameType::kRefuse, {kReasonServerGone}};
    const auto it = poked.find(item);
    return Frame{FrameType::kReply, {it != poked.end() ? it->second : item + "!"}};
  };
  for (Frame f; io.Receive(&f, later()) == IoStatus::kOk;) {
    if (f.type == FrameType::kRequests) {
      for (std::size_t at = 0, end = 0;
           f.fields[1] != "Refused" && (end = f.fields[2].find('\0', at)) != std::string::npos;
           at = end + 1) {
        const Frame r = reply(f.fields[2].substr(at, end - at));
        io.Send(r, later());
        if (r.type == FrameType::kRefuse) break;
      }
      answer(FrameType::kAck);
    }
    if (f.type == FrameType::kConnect) {
      answer(f.fields[1] == "Refused" ? FrameType::kRefuse : FrameType::kAccept,
             f.fields[1] == "Refused" ? std::vector<std::string>{"no server"}
                                      : std::vector<std::string>{});
    } else if (f.type == FrameType::kRequest) {
      const std::string& item = f.fields[0];
      if (item == "die") return 0;
      io.Send(reply(item), later());
      if (item == "bye") return 0;
    } else if (f.type == FrameType::kExecute || f.type == FrameType::kPoke) {
      if (f.type == FrameType::kPoke) poked[f.fields[0]] = f.fields[1];
      answer(FrameType::kAck);
    }
  }
  return 0;
}
