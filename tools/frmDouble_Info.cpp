// The picture editor's file information labels.
#include <cmath>

#include "core/ErrTrap.h"
#include "core/modVBCommon.h"
#include "core/modVelmodSlots.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Dates.h"
#include "platform/vbrt/Format.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/Val.h"
#include "platform/winfs/WinFs.h"
#include "tools/frmDouble.h"
#include "tools/frmDouble_Steps.h"

namespace tools {

using namespace double_steps;

namespace {

constexpr const char* kSizePattern = "##,###,###,###.##";

// Round(x, 2) of a Single: half to even, as the runtime rounds.
float Round2(float x) {
  return static_cast<float>(std::nearbyint(static_cast<double>(x) * 100.0) / 100.0);
}

// A Single turned into text and that text formatted, as the label is built.
std::string SizeFigure(float value) {
  return vb::Format(vb::Val(vb::CStr(Round2(value))), kSizePattern);
}

// Whether a directory lookup of the path finds a file.
bool FileMatches(const std::string& path) {
  return !vb::Trim(core::DirLookup(path)).empty();
}

std::string Known(const std::string& text) {
  return vb::InStr(vb::UCase(vb::Trim(text)), "UNKNOWN") > 0 ? std::string() : text;
}

}  // namespace

std::string frmDouble::FileSizeText(long long bytes) {
  const float kb = static_cast<float>(bytes) / 1024.0f;
  const float mb = kb / 1024.0f;
  if (kb > 500.0f) return SizeFigure(kb) + " KB   ( " + SizeFigure(mb) + " MB )";
  return SizeFigure(kb) + " KB";
}

void frmDouble::ShowFileInfo(forms::Gear& ctl, int which) {
  const std::string p = ctl.ThumbPath();
  DisplayFileSize(p);
  DisplayFileDate(p);
  DisplayFilename(p);
  DisplayFileAttribs(p, which);
}

void frmDouble::DisplayFileSize(const std::string& path) {
  core::Trap trap("DisplayFileSize");
  bool found = false;
  if (!trap.Step([&] { found = FileMatches(path); })) return;
  if (!found) {
    lblFileSize.SetCaption("N/A");
    return;
  }
  trap.Step([&] { lblFileSize.SetCaption(FileSizeText(winfs::FileLen(path))); });
}

void frmDouble::DisplayFileDate(const std::string& path) {
  core::Trap trap("DisplayFileDate");
  bool found = false;
  if (!trap.Step([&] { found = FileMatches(path); })) return;
  if (!found) {
    lblfiledate.SetCaption("N/A");
    return;
  }
  trap.Step(
      [&] { lblfiledate.SetCaption(vb::CStrDate(vb::DateFromUnix(winfs::FileDateTime(path)))); });
}

void frmDouble::DisplayFilename(const std::string& path) {
  core::Trap trap("DisplayFilename");
  trap.Step([&] { lblFileName.SetCaption(vb::Trim(path).empty() ? std::string() : path); });
}

// The picture's own information, as the control that shows it reports it (the path is not used).
void frmDouble::DisplayFileAttribs(const std::string& /*path*/, int which) {
  forms::Gear& ctl = which == 0 ? bmpDouble : bmpDouble2;
  IgnoreErrors([&] {
    lblFileRes.SetCaption(vb::CStr(ctl.ImageWidth()) + " x " + vb::CStr(ctl.ImageHeight()));
    lblFileBitDepth.SetCaption(vb::CStr(ctl.BitsPerPixel()) + " bit(s) per pixel");
    lblFileFormat.SetCaption(Known(ctl.FormatText()));
    lblFileCompression.SetCaption(Known(ctl.CompressionText()));
  });
}

}  // namespace tools
