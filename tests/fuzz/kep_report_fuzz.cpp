// Reads arbitrary bytes as a report file of the KEP stand-in.  A report it takes is changed as
// the program's pokes and SetImage change it, saved, and must read back the same.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "kep/Report.h"

namespace {

std::filesystem::path FuzzFile(const char* what) {
  return std::filesystem::temp_directory_path() /
         ("kep_report_fuzz_" + std::to_string(::getpid()) + what);
}

bool Same(const kep::Report& a, const kep::Report& b) {
  return a.name == b.name && a.userid == b.userid && a.forms == b.forms && a.store == b.store &&
         a.fields == b.fields && a.images == b.images;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = FuzzFile(".rpt");
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  kep::Report report;
  try {
    report = kep::LoadReport(file);
  } catch (const std::runtime_error&) {
    std::filesystem::remove(file);
    return 0;
  }
  std::filesystem::remove(file);
  report.ImageList();
  report.Field("UA5|SUBADDR|1");
  report.SetField("PHT3501|XPTEXT|2", "22 Oak Lane\r\nGarden 100%");
  report.SetImage("SUB_1_3X5", "");
  report.SetImage("CMP_1_3X5", R"(C:\KEP\IMAGES\A.JPG)");

  report.file = FuzzFile(".saved");
  kep::SaveReport(report);
  const kep::Report back = kep::LoadReport(report.file);
  std::filesystem::remove(report.file);
  if (!Same(report, back)) __builtin_trap();  // the stand-in lost what its report held
  return 0;
}
