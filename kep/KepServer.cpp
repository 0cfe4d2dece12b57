#include "kep/KepServer.h"

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "kep/Macro.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace kep {
namespace {

namespace fs = std::filesystem;

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Copies src into dst through a temporary file in dst's folder.
void CopyAtomically(const fs::path& src, const fs::path& dst) {
  fs::path tmp = dst;  // not through string(): a name outside the code page would throw
  tmp += ".tmp" + std::to_string(::getpid());
  std::error_code ec;
  fs::copy_file(src, tmp, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(tmp, dst, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(tmp, ignored);
    throw std::runtime_error("cannot copy " + src.string() + " to " + dst.string());
  }
}

// Object names become file names in the store: letters, digits, '_' and '-' only.
bool IsSafeObjectName(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (!std::isalnum(c) && c != '_' && c != '-') return false;
  }
  return true;
}

dde::Answer Silent() {
  return {dde::Answer::Kind::kSilent, {}, {}};
}

std::string Describe(const dde::Answer& a, const std::string& what) {
  std::string r;
  switch (a.kind) {
    case dde::Answer::Kind::kOk:
      r = what.empty() ? "OK" : "OK " + what;
      break;
    case dde::Answer::Kind::kRefuse:
      r = a.data.empty() ? "REFUSE" : "REFUSE: " + a.data;
      break;
    case dde::Answer::Kind::kGarbage:
      r = "GARBAGE";
      break;
    case dde::Answer::Kind::kCloseEarly:
      r = "CLOSE-EARLY";
      break;
    case dde::Answer::Kind::kSilent:
      r = "SILENT";
      break;
  }
  if (a.delay.count() > 0) r += " (after " + std::to_string(a.delay.count()) + " ms)";
  return r;
}

}  // namespace

KepHandler::KepHandler(std::vector<Report> reports, KepOptions options)
    : reports_(std::move(reports)), options_(std::move(options)), log_(options_.log_file) {}

Report* KepHandler::FindReport(const std::string& topic) {
  for (auto& r : reports_) {
    if (SameText(r.name, topic)) return &r;
  }
  return nullptr;
}

// The report a SetImage on `topic` changes: the named one, or the active one on System.
Report* KepHandler::TargetOf(const std::string& topic) {
  if (SameText(topic, "System")) return reports_.empty() ? nullptr : &reports_.front();
  return FindReport(topic);
}

bool KepHandler::IsFieldItem(const Report& r, const std::string& item) const {
  const auto bar = item.find('|');
  if (bar == std::string::npos) return false;
  const std::string page = Trim(item.substr(0, bar));
  std::stringstream forms(r.forms);
  std::string form;
  while (std::getline(forms, form, ',')) {
    if (!page.empty() && SameText(Trim(form), page)) return true;
  }
  return false;
}

dde::Answer KepHandler::Finish(dde::Answer answer, const std::string& what, bool request) {
  if (options_.garbage) {
    answer.kind = dde::Answer::Kind::kGarbage;
  } else if (options_.close_early) {
    answer.kind = dde::Answer::Kind::kCloseEarly;
  }
  answer.delay = std::chrono::milliseconds(options_.slow_tenths * 100);
  log_.Write(what + " -> " + Describe(answer, request ? Quoted(answer.data) : std::string()));
  return answer;
}

// A hung KEP answers nothing from the configured transaction on, not even an initiate, and
// carries nothing out.  Requests, executes and pokes count as transactions.
bool KepHandler::Hangs(const std::string& what, bool transaction) {
  if (transaction && options_.hang_at > 0 && ++transactions_ >= options_.hang_at) hung_ = true;
  if (transaction && !options_.hang_on.empty() && what.find(options_.hang_on) != std::string::npos)
    hung_ = true;
  if (!hung_) return false;
  log_.Write(what + " -> HUNG");
  return true;
}

dde::Answer KepHandler::Connect(const dde::Conversation& c) {
  const std::string what = "CONNECT app=" + Quoted(c.application) + " topic=" + Quoted(c.topic);
  if (Hangs(what, false)) return Silent();
  if (options_.silent_initiate) {
    log_.Write(what + " -> SILENT");
    return Silent();
  }
  const std::string& topic = c.topic;
  const bool ok = SameText(topic, "System") || SameText(topic, "Query") || FindReport(topic);
  log_.Write(what + (ok ? " -> ACCEPT" : " -> REFUSE"));
  return ok ? dde::Answer::Ok() : dde::Answer::Refuse("topic refused");
}

void KepHandler::Disconnect(const dde::Conversation& c) {
  requested_images_.erase(c.id);
}

dde::Answer KepHandler::Request(const dde::Conversation& c, const std::string& item) {
  const std::string& topic = c.topic;
  const std::string what = "REQUEST topic=" + Quoted(topic) + " item=" + Quoted(item);
  if (Hangs(what, true)) return Silent();
  dde::Answer a = dde::Answer::Refuse("unknown item");
  if (SameText(topic, "Query")) {
    if (SameText(item, "ActiveReports")) {
      std::string list;
      for (const auto& r : reports_) list += r.name + ",";
      a = dde::Answer::Ok(list);
    }
  } else if (SameText(topic, "System")) {
    const auto asked = requested_images_.find(c.id);
    if (SameText(item, "IMAGES") && asked != requested_images_.end()) {
      a = dde::Answer::Ok(asked->second);
    }
  } else if (Report* r = FindReport(topic)) {
    if (SameText(item, "UserID")) {
      a = dde::Answer::Ok(r->userid);
    } else if (SameText(item, "ListForms")) {
      a = dde::Answer::Ok(r->forms);
    } else if (IsFieldItem(*r, item)) {
      a = dde::Answer::Ok(r->Field(item).value_or(""));
    }
  }
  return Finish(a, what, true);
}

dde::Answer KepHandler::Execute(const dde::Conversation& c, const std::string& command) {
  const std::string what = "EXECUTE topic=" + Quoted(c.topic) + " command=" + Quoted(command);
  if (Hangs(what, true)) return Silent();
  dde::Answer a;
  try {
    a = RunCommand(c, command);
  } catch (const std::exception& e) {
    a = dde::Answer::Refuse(e.what());
  }
  return Finish(a, what, false);
}

dde::Answer KepHandler::RunCommand(const dde::Conversation& c, const std::string& command) {
  const std::string& topic = c.topic;
  const auto macro = ParseMacro(command);
  if (!macro) return dde::Answer::Refuse("unknown command");
  switch (macro->kind) {
    case Macro::Kind::kSetRequestImages:
      if (!SameText(topic, "System")) return dde::Answer::Refuse("SetRequest needs System");
      requested_images_[c.id] = reports_.empty() ? std::string() : reports_.front().ImageList();
      return dde::Answer::Ok();
    case Macro::Kind::kRunScript:
      if (!SameText(topic, "System")) return dde::Answer::Refuse("RunMacro needs System");
      return dde::Answer::Ok();
    case Macro::Kind::kSetImage:
      if (Report* r = TargetOf(topic)) return SetImage(*r, macro->object, macro->path);
      return dde::Answer::Refuse("no report");
  }
  return dde::Answer::Refuse("unknown command");
}

dde::Answer KepHandler::SetImage(Report& r, const std::string& object, const std::string& winPath) {
  if (!IsSafeObjectName(object)) return dde::Answer::Refuse("bad object name");
  std::string stored;
  if (!winPath.empty()) {
    fs::path src;
    try {
      src = winfs::ToHost(winPath);
    } catch (const vb::VbError&) {
      return dde::Answer::Refuse("bad picture path");
    }
    std::error_code ec;
    if (!fs::is_regular_file(src, ec)) return dde::Answer::Refuse("no picture at that path");
    const fs::path folder = r.StoreFolder();
    fs::create_directories(folder, ec);
    const fs::path dst = folder / (object + src.extension().string());
    CopyAtomically(src, dst);
    const auto win = winfs::ToWindows(dst);
    if (!win) return dde::Answer::Refuse("store folder outside every drive");
    stored = *win;
  }
  r.SetImage(object, stored);
  SaveReport(r);
  return dde::Answer::Ok();
}

dde::Answer KepHandler::Poke(const dde::Conversation& c, const std::string& item,
                             const std::string& data) {
  const std::string what =
      "POKE topic=" + Quoted(c.topic) + " item=" + Quoted(item) + " data=" + Quoted(data);
  if (Hangs(what, true)) return Silent();
  dde::Answer a = dde::Answer::Refuse("unknown item");
  Report* r = FindReport(c.topic);
  if (r && IsFieldItem(*r, item)) {
    try {
      r->SetField(item, data);
      SaveReport(*r);
      a = dde::Answer::Ok();
    } catch (const std::exception& e) {
      a = dde::Answer::Refuse(e.what());
    }
  }
  return Finish(a, what, false);
}

}  // namespace kep
