// A stand-in for the DDE bridge on Linux, run by the Wine transport in place of Wine: it speaks
// the bridge's frames on its standard input and output.  Its mode is the name of the file it is
// given as its program: "cannot-start" refuses to start; "serve" accepts every topic but
// "Refused" and answers a request for item "timeout" or "gone" with the bridge's refusal for a
// DDE timeout or a lost server, "die" by ending at once, "bye" with "bye!" and then ending,
// and any other item with item + "!".

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
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
  for (Frame f; io.Receive(&f, later()) == IoStatus::kOk;) {
    if (f.type == FrameType::kConnect) {
      answer(f.fields[1] == "Refused" ? FrameType::kRefuse : FrameType::kAccept,
             f.fields[1] == "Refused" ? std::vector<std::string>{"no server"}
                                      : std::vector<std::string>{});
    } else if (f.type == FrameType::kRequest) {
      const std::string& item = f.fields[0];
      if (item == "die") return 0;
      if (item == "timeout")
        answer(FrameType::kRefuse, {kReasonTimeout});
      else if (item == "gone")
        answer(FrameType::kRefuse, {kReasonServerGone});
      else
        answer(FrameType::kReply, {item + "!"});
      if (item == "bye") return 0;
    } else if (f.type == FrameType::kExecute || f.type == FrameType::kPoke) {
      answer(FrameType::kAck);
    }
  }
  return 0;
}
