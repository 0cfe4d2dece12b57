#pragma once
// The transaction log: one line per transaction, appended and flushed at once.
//
//   <OP> topic="<topic>" [item="<item>"] [data="<data>"] [command="<command>"] -> <RESULT>
//
//   CONNECT app="<application>" topic="<topic>" -> <RESULT>
//
// OP is CONNECT, REQUEST, EXECUTE or POKE; app and topic are the two parts of the client's
// "KEP|topic" as it was sent ("Kep" and "KEP" both reach the stand-in).  RESULT is ACCEPT,
// REFUSE, OK "<reply>" (requests), OK (execute, poke), or, in the failure modes, GARBAGE,
// CLOSE-EARLY, SILENT (an initiate left unanswered) and HUNG; a delayed answer adds
// " (after <n> ms)".  A refusal may be followed by ": reason".
// Texts are escaped: \ -> \\, " -> \", CR -> \r, LF -> \n, TAB -> \t, other bytes
// below 0x20 and 0x7F -> \xHH.

#include <fstream>
#include <string>

namespace kep {

std::string EscapeForLog(const std::string& text);
// `"` + EscapeForLog(text) + `"`.
std::string Quoted(const std::string& text);

class TransactionLog {
 public:
  TransactionLog() = default;
  // Appends to `file`; an empty name logs nothing.
  explicit TransactionLog(const std::string& file);
  void Write(const std::string& line);

 private:
  std::ofstream out_;
};

}  // namespace kep
