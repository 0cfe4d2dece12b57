#include "core/modVelmodSlots.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "platform/forms/App.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Gear.h"
#include "platform/forms/GearLoad.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace core {

namespace {

// An unexpected failure inside the picture load.
constexpr int kPictureLoadFailed = 50003;

// A trap that keeps gCurrentProc as the caller left it.
std::string CallerName() {
  return vb::RTrim(gCurrentProc.str());
}

void ShowCorrupt(const std::string& sFile) {
  forms::App::Current().MsgBox("The File '" + sFile + "' appears to be a corrupt file.",
                               forms::vbOKOnly);
}

// The picture errors both load procedures take in place.  A picture that could not be decoded
// is taken off the display, so that the control never shows the previous file's picture under
// the new file's name.
void ExpectPictureErrors(Trap& trap, forms::Gear& ctl, const std::string& sFile) {
  trap.Expect({vb::kInvalidPicture}, [&ctl, &sFile](const vb::VbError&) {
    ctl.SetPicture(forms::StdPicture());
    ShowCorrupt(sFile);
    return kLeave;
  });
  trap.Expect({kPictureLoadFailed}, [&ctl](const vb::VbError&) {
    ctl.SetPicture(forms::StdPicture());
    return kLeave;
  });
  trap.Expect({vb::kPathNotFound}, [&ctl](const vb::VbError&) {
    ErrClearPict(ctl);
    return kLeave;
  });
}

// A file as last written: its size and time; nullopt when it cannot be read.
using FileStamp = std::optional<std::pair<std::uintmax_t, std::filesystem::file_time_type>>;

FileStamp StampOf(const std::filesystem::path& host) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(host, ec);
  if (ec) return std::nullopt;
  const auto written = std::filesystem::last_write_time(host, ec);
  if (ec) return std::nullopt;
  return std::make_pair(size, written);
}

// The placeholder as decoded for one size of slot, and the file it was decoded from.
struct PlaceholderDecode {
  std::filesystem::path host;
  int maxW = 0, maxH = 0;
  FileStamp stamp;
  imaging::ReducedLoad decoded;

  bool Stale() const { return !stamp || StampOf(host) != stamp; }
};

imaging::ReducedLoad DecodePicture(const std::filesystem::path& host, int maxW, int maxH) {
  imaging::ReducedLoad d;
  try {
    d.picture =
        maxW >= 0 ? imaging::LoadReduced(host, maxW, maxH, &d.info) : imaging::Load(host, &d.info);
  } catch (const vb::VbError& e) {
    d.error = e.Number();
  }
  return d;
}

// A refresh empties every slot: the placeholder is decoded once for each size of slot and
// shared, and decoded again when its file changes (size or time written).
void PreparePlaceholder(forms::Gear& ctl, const std::string& placeholder) {
  constexpr std::size_t kSizesKept = 8;
  static std::vector<PlaceholderDecode> kept;
  PlaceholderDecode want;
  want.host = winfs::ToHost(placeholder);
  forms::GearLoadLimits(ctl, want.maxW, want.maxH);
  auto it = std::find_if(kept.begin(), kept.end(), [&](const PlaceholderDecode& d) {
    return d.host == want.host && d.maxW == want.maxW && d.maxH == want.maxH;
  });
  if (it == kept.end() || it->Stale()) {
    if (it != kept.end()) kept.erase(it);
    want.stamp = StampOf(want.host);
    if (!want.stamp) return;
    want.decoded = DecodePicture(want.host, want.maxW, want.maxH);
    if (want.Stale()) return;  // changed while decoded: the load decodes it itself
    if (kept.size() >= kSizesKept) kept.erase(kept.begin());
    it = kept.insert(kept.end(), std::move(want));
  }
  ctl.PrepareLoad(placeholder, it->maxW, it->maxH, it->decoded);
}

// The placeholder is shown as well as named.  A missing or damaged placeholder leaves the slot
// blank: clearing a slot never fails over it.
void ShowPlaceholder(forms::Gear& ctl, const std::string& placeholder) {
  try {
    if (!winfs::FileExists(placeholder)) return;
    PreparePlaceholder(ctl, placeholder);
    ctl.LoadImage(placeholder);
    ctl.SetDisplayStretch(true);
  } catch (const vb::VbError&) {
    ctl.SetPicture(forms::StdPicture());
  }
}

template <class Labels>
void CopyCaptions(Labels& labels, const AddrArray& source, int count) {
  for (int i = 1; i <= count && i < static_cast<int>(source.size()); ++i) {
    labels[i].SetCaption(source[static_cast<std::size_t>(i)]);
  }
}

bool IsPlainName(const std::string& name) {
  for (const unsigned char c : name) {
    if (c < 32 ||
        std::string_view("*?<>\"|").find(static_cast<char>(c)) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string DirLookup(const std::string& sFile) {
  const std::string path = vb::Trim(sFile);
  if (path.empty()) return {};
  const auto cut = path.find_last_of("\\/:");
  const std::string folder = cut == std::string::npos ? winfs::CurDir() : path.substr(0, cut + 1);
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  if (name.empty()) return {};
  // A name is resolved, not looked for in a listing of the whole folder.  Masks, names no
  // file can have, and 8.3 aliases ("IMG_00~1.JPG") still go through the listing.
  if (IsPlainName(name)) {
    if (auto found = winfs::FindFile(path)) return *found;
    if (name.find('~') == std::string::npos) return {};
  }
  const auto found = winfs::ListFiles(folder, name);
  return found.empty() ? std::string() : found.front();
}

void ErrLoadThumb(forms::Gear& ctl, const std::string& sFile) {
  Trap trap(CallerName());
  ExpectPictureErrors(trap, ctl, sFile);
  bool found = false;
  if (!trap.Step([&] { found = !vb::Trim(DirLookup(sFile)).empty(); })) return;
  if (!found) {
    trap.Step([&] { ctl.SetThumbPath(""); });
    trap.Step([&] { ctl.SetVisible(true); });
    return;
  }
  trap.Step([&] { ctl.SetAutoResizeX(80); });
  trap.Step([&] { ctl.SetAutoResizeY(60); });
  trap.Step([&] { ctl.SetAutoReduce(3); });
  trap.Step([&] { ctl.SetRedraw(true); });
  trap.Step([&] { ErrLoadPict(ctl, sFile); });
  trap.Step([&] { ctl.SetRedraw(true); });
  trap.Step([&] { ctl.SetThumbPath(sFile); });
  trap.Step([&] { ctl.SetVisible(true); });
  trap.Step([&] { ctl.SetDisplayStretch(true); });
}

void ErrLoadPict(forms::Gear& ctl, const std::string& sFile) {
  Trap trap(CallerName());
  ExpectPictureErrors(trap, ctl, sFile);
  trap.Expect({vb::kBadFileName}, [&sFile](const vb::VbError&) {
    forms::App::Current().MsgBox(sFile + "File not found.", forms::vbOKOnly);
    return kLeave;
  });
  bool found = false;
  if (!trap.Step([&] { found = !vb::Trim(DirLookup(sFile)).empty(); })) return;
  if (found) {
    // Loading through the control honours its display-size limits (AutoResizeX/Y, AutoReduce).
    trap.Step([&] { ctl.LoadImage(sFile); });
    trap.Step([&] { ctl.SetThumbPath(sFile); });
    trap.Step([&] { ctl.SetVisible(true); });
  } else {
    trap.Step([&] { ctl.SetThumbPath(""); });
    trap.Step([&] { ctl.SetVisible(true); });
    trap.Step([&] { ctl.SetPicture(forms::StdPicture()); });
  }
}

void ErrLoadLblTag(forms::Label& lbl, const std::string& sText) {
  Trap trap(CallerName());
  trap.Step([&] { lbl.SetCaption(vb::Trim(sText).empty() ? std::string() : sText); });
  trap.Step([&] { lbl.Refresh(); });
}

void ErrClearPict(forms::Gear& ctl) {
  Trap trap(CallerName());
  trap.Step([&] { ctl.SetPicture(forms::StdPicture()); });
  trap.Step([&] { ctl.ClearImage(); });
  trap.Step([&] {
    if (vb::InStr(vb::UCase(ctl.Name()), "THUMB") > 0) ctl.SetVisible(false);
  });
  trap.Step([&] { ctl.SetThumbPath(""); });
}

void geaClearImage(forms::Gear& ctl) {
  Trap trap(CallerName());
  trap.Step([&] { ctl.ClearImage(); });
  trap.Step([&] { ctl.SetThumbPath(""); });
  trap.Step([&] { ctl.DelImage(); });
  trap.Step([&] { ctl.SetThumbPath(gAppDir + "empty.jpg"); });
  trap.Step([&] { ShowPlaceholder(ctl, gAppDir + "empty.jpg"); });
  trap.Step([&] { ctl.ZOrder(0); });
}

bool IsEmptyPict(const std::string& sPath) {
  return sPath.empty() || vb::InStr(vb::UCase(sPath), "\\EMPTY.JPG") > 0;
}

void setSubjectLabels() {
  frmMain().lblSubjectAddr.SetCaption(gSubjectAddr);
}
void SetSalesLabels() {
  CopyCaptions(frmMain().lblCompAddr, gCompAddr, 9);
}
void SetAltSalesLabels() {
  CopyCaptions(frmMain().lblAltCompAddr, gAltCompAddr, 6);
}
void SetListingLabels() {
  CopyCaptions(frmMain().lblListingAddr, gListingAddr, 6);
}
void SetSpecificListingLabels() {
  CopyCaptions(frmMain().lblSpecificListingAddr, gSpecificListingAddr, 6);
}
void SetReoListingLabels() {
  CopyCaptions(frmMain().lblReoListingAddr, gReoListingAddr, 3);
}
void SetReo2ListingLabels() {
  CopyCaptions(frmMain().lblReo2ListingAddr, gReo2ListingAddr, 3);
}
void SetRentalLabels() {
  CopyCaptions(frmMain().lblRentalAddr, gRentalAddr, 9);
}

}  // namespace core
