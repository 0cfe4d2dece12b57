#pragma once
// The stand-in's answers to the program's DDE traffic: application "KEP" with the
// topics "System", "Query" and one per open report (its name), all matched
// without regard to case.

#include <string>
#include <vector>

#include "kep/Log.h"
#include "kep/Report.h"
#include "platform/dde/Server.h"

namespace kep {

struct KepOptions {
  int slow_tenths = 0;       // every answer goes out this much later
  bool garbage = false;      // every answer is a malformed frame
  bool close_early = false;  // every answer stops half-way and the connection closes
  std::string log_file;
};

class KepHandler : public dde::Handler {
 public:
  // The first report is the active one; no reports: "no report open".
  KepHandler(std::vector<Report> reports, KepOptions options);

  bool Connect(const std::string& topic) override;
  dde::Answer Request(const std::string& topic, const std::string& item) override;
  dde::Answer Execute(const std::string& topic, const std::string& command) override;
  dde::Answer Poke(const std::string& topic, const std::string& item,
                   const std::string& data) override;

  const std::vector<Report>& reports() const { return reports_; }
  int scripts_run() const { return scripts_run_; }

 private:
  Report* FindReport(const std::string& topic);
  Report* TargetOf(const std::string& topic);
  bool IsFieldItem(const Report& r, const std::string& item) const;
  dde::Answer RunCommand(const std::string& topic, const std::string& command);
  dde::Answer SetImage(Report& r, const std::string& object, const std::string& winPath);
  dde::Answer Finish(dde::Answer answer, const std::string& what, bool request);

  std::vector<Report> reports_;
  KepOptions options_;
  TransactionLog log_;
  bool images_requested_ = false;
  std::string requested_images_;
  int scripts_run_ = 0;
};

}  // namespace kep
