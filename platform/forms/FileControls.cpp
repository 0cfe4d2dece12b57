#include "platform/forms/FileControls.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <ctime>

#include "platform/forms/Design.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace forms {

using namespace design;

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool HasDrive(const std::string& p) {
  return p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]));
}

// A full folder path: "X:\" for a root, else "X:\A\B" without a trailing "\".
// A relative path is taken from the current folder.
std::string FullFolder(std::string p) {
  for (char& c : p)
    if (c == '/') c = '\\';
  if (!HasDrive(p)) {
    std::string cur = winfs::CurDir();
    if (!p.empty() && p[0] == '\\')
      p = cur.substr(0, 2) + p;
    else
      p = cur + (cur.back() == '\\' ? "" : "\\") + p;
  } else if (p.size() == 2 || p[2] != '\\') {
    std::string cur = winfs::CurDir(p[0]);
    std::string rest = p.substr(2);
    p = cur + (cur.back() == '\\' ? "" : "\\") + rest;
  }
  p[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
  // Apply "." and ".." textually, never above the root.
  std::vector<std::string> parts;
  size_t i = 3;
  while (i <= p.size()) {
    size_t j = p.find('\\', i);
    if (j == std::string::npos) j = p.size();
    std::string part = p.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out = p.substr(0, 3);
  for (size_t k = 0; k < parts.size(); ++k) out += (k ? "\\" : "") + parts[k];
  return out;
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder + (folder.back() == '\\' ? "" : "\\") + name;
}

long long Nanoseconds(const timespec& t) {
  return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

long long NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

// Drive and folder list controls report any drive that is not ready as 68.
void CheckDrive(const std::string& fullPath) {
  if (!winfs::DriveReady(fullPath[0])) vb::Raise(vb::kDeviceUnavailable);
}

}  // namespace

// The host folder behind a Windows folder and its state now; nullopt when it cannot be found.
std::optional<FileListBox::Stamp> FileListBox::FolderStamp(const std::string& path) {
  try {
    Stamp stamp;
    stamp.seenNs = NowNs();
    stamp.host = winfs::ToHost(path).string();
    struct stat st {};
    if (::stat(stamp.host.c_str(), &st) != 0) return std::nullopt;
    stamp.dev = st.st_dev;
    stamp.ino = st.st_ino;
    stamp.mtimeNs = Nanoseconds(st.st_mtim);
    return stamp;
  } catch (const vb::VbError&) {
    return std::nullopt;
  }
}

// ---- FileListBox ---------------------------------------------------------------

FileListBox::FileListBox(Form& f, std::string name, int index)
    : ListBox(f, std::move(name), index, kTypeName) {
  try {
    path_ = FullFolder(winfs::CurDir());
    ReplaceItems(Read(path_));
  } catch (const vb::VbError&) {
    // An unusable current folder leaves the list empty.
  }
}

std::vector<std::string> FileListBox::Read(const std::string& path) {
  CheckDrive(path);
  stamp_ = FolderStamp(path);  // taken first: a change while listing shows at the next Refresh
  try {
    return winfs::ListFiles(path, pattern_, hidden_);
  } catch (...) {
    stamp_.reset();
    throw;
  }
}

// The folder is as it was when the shown list was read.  File systems keep modification times
// in coarse ticks, so a folder changed within a tick of the reading keeps its time: until its
// time is two seconds older than the reading, the folder is read again.
bool FileListBox::Unchanged() const {
  constexpr long long kTickNs = 2'000'000'000;
  if (!stamp_ || stamp_->seenNs - stamp_->mtimeNs < kTickNs) return false;
  const std::optional<Stamp> now = FolderStamp(path_);
  return now && *now == *stamp_;
}

void FileListBox::SetPath(const std::string& winPath) {
  std::string full = FullFolder(winPath);
  if (Upper(full) == Upper(path_)) return;
  std::vector<std::string> items = Read(full);
  path_ = full;
  ReplaceItems(std::move(items));
  PathChange();
}

void FileListBox::SetPattern(const std::string& pattern) {
  std::string p = pattern.empty() ? "*.*" : pattern;
  if (p == pattern_) return;
  std::string old = pattern_;
  pattern_ = p;
  try {
    ReplaceItems(Read(path_));
  } catch (const vb::VbError&) {
    stamp_.reset();
    ReplaceItems({});
  }
  PatternChange();
}

void FileListBox::SetHidden(bool v) {
  if (v == hidden_) return;
  hidden_ = v;
  stamp_.reset();
  Refresh();
}

// Keeps the current entry and the top entry by position where they still fit.  The marks of a
// multi-select list are cleared: by position they would now fall on other files (after a
// delete, on the file that moved up into a deleted one's place).
void FileListBox::Refresh() {
  CheckDrive(path_);
  std::vector<std::string> items = Unchanged() ? list_.Items() : Read(path_);
  int index = list_.Index();
  int top = list_.Top();
  list_.Assign(std::move(items));
  if (index < list_.Count()) {
    list_.SetIndex(index);
    if (index >= 0 && multiSelect_ == vbMultiSelectNone) list_.SetSelected(index, true);
  }
  list_.SetTop(std::min(top, MaxTop()));
  Notify(Prop::List);
}

std::string FileListBox::FileName() const {
  return list_.Item(list_.Index());
}

void FileListBox::SetFileName(const std::string& name) {
  std::string n = name;
  for (char& c : n)
    if (c == '/') c = '\\';
  size_t slash = n.find_last_of('\\');
  std::string folder;
  if (slash != std::string::npos)
    folder = n.substr(0, slash == 2 && HasDrive(n) ? 3 : slash);
  else if (HasDrive(n))
    folder = n.substr(0, 2);
  std::string leaf = slash != std::string::npos ? n.substr(slash + 1)
                     : HasDrive(n)              ? n.substr(2)
                                                : n;
  if (!folder.empty()) SetPath(folder);
  if (winfs::HasWildcards(leaf)) {
    SetPattern(leaf);
    return;
  }
  if (leaf.empty()) return;
  for (int i = 0; i < ListCount(); ++i) {
    if (Upper(list_.Item(i)) == Upper(leaf)) {
      SetListIndex(i);
      return;
    }
  }
  vb::Raise(vb::kFileNotFound);
}

bool FileListBox::SetDesignProperty(const std::string& key, const std::string& value) {
  // The entries come from the folder only.
  if (KeyIs(key, "List") || KeyIs(key, "Sorted")) return false;
  if (KeyIs(key, "Pattern"))
    SetPattern(value);
  else if (KeyIs(key, "Path"))
    SetPath(value);
  else if (KeyIs(key, "Hidden"))
    SetHidden(Bool(value));
  else
    return ListBox::SetDesignProperty(key, value);
  return true;
}

void FileListBox::CopyDesignFrom(const Control& model) {
  ListBox::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const FileListBox*>(&model)) {
    pattern_ = m->pattern_;
    hidden_ = m->hidden_;
    stamp_.reset();
  }
}

// ---- DirListBox ------------------------------------------------------------------

DirListBox::DirListBox(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {
  SetBackColor(vbWindowBackground);
  SetForeColor(vbWindowText);
  try {
    Rebuild(FullFolder(winfs::CurDir()));
  } catch (const vb::VbError&) {
  }
}

void DirListBox::Rebuild(const std::string& full) {
  CheckDrive(full);
  if (!winfs::DirExists(full)) vb::Raise(vb::kPathNotFound);
  std::vector<std::string> subs;
  for (const std::string& d : winfs::ListDirs(full, true)) subs.push_back(Join(full, d));
  std::vector<std::string> ancestors{full.substr(0, 3)};
  for (size_t i = 3; i < full.size(); ++i)
    if (full[i] == '\\') ancestors.push_back(full.substr(0, i));
  if (full.size() > 3) ancestors.push_back(full);
  path_ = full;
  ancestors_ = std::move(ancestors);
  subDirs_ = std::move(subs);
  listIndex_ = -1;
  topIndex_ = 0;
  Notify(Prop::List);
}

void DirListBox::SetPath(const std::string& winPath) {
  std::string full = FullFolder(winPath);
  if (Upper(full) == Upper(path_)) return;
  Rebuild(full);
  Change();
}

void DirListBox::Refresh() {
  Rebuild(path_);
}

std::string DirListBox::List(int i) const {
  if (i >= 0) return i < ListCount() ? subDirs_[i] : std::string();
  int k = Depth() + i;  // -1 -> the open folder (last ancestor)
  return k >= 0 ? ancestors_[k] : std::string();
}

void DirListBox::SetListIndex(int i) {
  if (i < -Depth() || i >= ListCount()) vb::Raise(vb::kInvalidPropertyValue);
  listIndex_ = i;
  Notify(Prop::Selection);
  Click();
}

void DirListBox::SetTopIndex(int t) {
  int rows = Depth() + ListCount();
  if (t < 0 || t >= std::max(1, rows)) vb::Raise(vb::kInvalidPropertyValue);
  if (t == topIndex_) return;
  topIndex_ = t;
  Notify(Prop::TopIndex);
  Scroll();
}

void DirListBox::UserSelect(int i) {
  if (!Enabled() || i < -Depth() || i >= ListCount()) return;
  AsUser([&] { SetListIndex(i); });
}

void DirListBox::UserOpen(int i) {
  if (!Enabled() || i < -Depth() || i >= ListCount()) return;
  AsUser([&] { SetPath(List(i)); });
}

bool DirListBox::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Path"))
    SetPath(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

// ---- DriveListBox ------------------------------------------------------------------

DriveListBox::DriveListBox(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {
  SetBackColor(vbWindowBackground);
  SetForeColor(vbWindowText);
  ReadDrives();
  try {
    listIndex_ = FindLetter(winfs::CurDir()[0]);
  } catch (const vb::VbError&) {
  }
  if (listIndex_ < 0 && !entries_.empty()) listIndex_ = 0;
}

void DriveListBox::ReadDrives() {
  entries_.clear();
  letters_.clear();
  for (char up : winfs::Drives()) {
    char low = static_cast<char>(std::tolower(static_cast<unsigned char>(up)));
    std::string text = std::string(1, low) + ":";
    // Floppy drives are listed without reading their label.
    if (up != 'A' && up != 'B' && winfs::DriveReady(up)) {
      try {
        std::string label = winfs::VolumeLabel(up);
        if (!label.empty()) text += " [" + label + "]";
      } catch (const vb::VbError&) {
      }
    }
    entries_.push_back(text);
    letters_.push_back(up);
  }
  Notify(Prop::List);
}

int DriveListBox::FindLetter(char letter) const {
  char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (size_t i = 0; i < letters_.size(); ++i)
    if (letters_[i] == up) return static_cast<int>(i);
  return -1;
}

std::string DriveListBox::Drive() const {
  return listIndex_ >= 0 && listIndex_ < ListCount() ? entries_[listIndex_] : std::string();
}

const std::string& DriveListBox::List(int i) const {
  static const std::string empty;
  return i >= 0 && i < ListCount() ? entries_[i] : empty;
}

void DriveListBox::SetDrive(const std::string& drive) {
  if (drive.empty()) vb::Raise(vb::kDeviceUnavailable);
  char keep = listIndex_ >= 0 && listIndex_ < ListCount() ? letters_[listIndex_] : 0;
  ReadDrives();
  listIndex_ = keep ? FindLetter(keep) : -1;
  int i = FindLetter(drive[0]);
  if (i < 0 || !winfs::DriveReady(letters_[i])) vb::Raise(vb::kDeviceUnavailable);
  Select(i);
}

void DriveListBox::ShowDrive(const std::string& drive) {
  const int i = drive.empty() ? -1 : FindLetter(drive[0]);
  if (i < 0) vb::Raise(vb::kDeviceUnavailable);
  if (i == listIndex_) return;
  listIndex_ = i;
  Notify(Prop::Selection);
}

void DriveListBox::Select(int i) {
  if (i == listIndex_) return;
  listIndex_ = i;
  Notify(Prop::Selection);
  Change();
}

void DriveListBox::SetListIndex(int i) {
  if (i < 0 || i >= ListCount()) vb::Raise(vb::kInvalidPropertyValue);
  SetDrive(std::string(1, letters_[i]));
}

void DriveListBox::Refresh() {
  char keep = listIndex_ >= 0 && listIndex_ < ListCount() ? letters_[listIndex_] : 0;
  ReadDrives();
  listIndex_ = keep ? FindLetter(keep) : -1;
}

void DriveListBox::UserSelect(int i) {
  if (!Enabled() || i < 0 || i >= ListCount()) return;
  AsUser([&] { Select(i); });
}

bool DriveListBox::SetDesignProperty(const std::string& key, const std::string& value) {
  return Control::SetDesignProperty(key, value);
}

}  // namespace forms
