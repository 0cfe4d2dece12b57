#pragma once
// The stand-in's answers to the program's DDE traffic: application "KEP" with the
// topics "System", "Query" and one per open report (its name), all matched
// without regard to case.

#include <map>
#include <string>
#include <vector>

#include "kep/Log.h"
#include "kep/Report.h"
#include "platform/dde/Server.h"

namespace kep {

struct KepOptions {
  int slow_tenths = 0;           // every answer goes out this much later
  bool garbage = false;          // every answer is a malformed frame
  bool close_early = false;      // every answer stops half-way and the connection closes
  bool silent_initiate = false;  // conversations are never accepted nor refused
  long hang_at = 0;              // from this transaction on (1 = the first) nothing is answered
  std::string hang_on;           // or from the first transaction whose log line holds this
  std::string log_file;
};

class KepHandler : public dde::Handler {
 public:
  // The first report is the active one; no reports: "no report open".
  KepHandler(std::vector<Report> reports, KepOptions options);

  dde::Answer Connect(const dde::Conversation& c) override;
  dde::Answer Request(const dde::Conversation& c, const std::string& item) override;
  dde::Answer Execute(const dde::Conversation& c, const std::string& command) override;
  dde::Answer Poke(const dde::Conversation& c, const std::string& item,
                   const std::string& data) override;
  void Disconnect(const dde::Conversation& c) override;

  const std::vector<Report>& reports() const { return reports_; }

 private:
  Report* FindReport(const std::string& topic);
  Report* TargetOf(const std::string& topic);
  bool IsFieldItem(const Report& r, const std::string& item) const;
  bool Hangs(const std::string& what, bool transaction);
  dde::Answer RunCommand(const dde::Conversation& c, const std::string& command);
  dde::Answer SetImage(Report& r, const std::string& object, const std::string& winPath);
  dde::Answer Finish(dde::Answer answer, const std::string& what, bool request);

  std::vector<Report> reports_;
  KepOptions options_;
  TransactionLog log_;
  // The image list each conversation asked for with SetRequest, by conversation.
  std::map<unsigned long, std::string> requested_images_;
  long transactions_ = 0;
  bool hung_ = false;
};

}  // namespace kep
