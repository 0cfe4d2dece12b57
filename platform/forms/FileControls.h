#pragma once
// FileListBox, DirListBox and DriveListBox over Windows paths (platform/winfs).
// Errors a VB program would see: a folder that does not exist 76, a drive that
// is not ready 68.

#include <optional>
#include <string>
#include <vector>

#include "platform/forms/ListControls.h"

namespace forms {

// Lists the files of Path matching Pattern ("*.jpg;*.bmp;*.tif"), in the order
// of a Windows list box.  Hidden and system files are left out unless the
// Hidden property is set.  The list is read when Path or Pattern change and on
// Refresh, never by itself; Refresh reads the folder again only when it changed
// since (its modification time), which keeps paging a large folder cheap.  ListIndex, Selected,
// TopIndex, Scroll and Click as for ListBox.  A new Path or Pattern starts with nothing selected
// and TopIndex 0; Refresh keeps ListIndex and TopIndex where they still fit and clears the marks of
// a multi-select list.
class FileListBox : public ListBox {
 public:
  static constexpr const char* kTypeName = "FileListBox";
  FileListBox(Form& f, std::string name, int index = -1);

  // The folder, as set ("C:\GLENVUE"; a trailing "\" is dropped except at a
  // drive root).  Starts as the current folder.
  const std::string& Path() const { return path_; }
  // Re-reads and raises PathChange when the folder differs; 76/68/71 leave the
  // old path and list as they were.
  void SetPath(const std::string& winPath);
  const std::string& Pattern() const { return pattern_; }
  // Re-reads and raises PatternChange when it differs.
  void SetPattern(const std::string& pattern);
  // The selected file name ("" when none).  Setting a name with a folder
  // and/or wildcards sets Path and/or Pattern; a plain name selects it.
  std::string FileName() const;
  void SetFileName(const std::string& name);
  bool Hidden() const { return hidden_; }
  void SetHidden(bool v);
  // Re-reads the folder (raises the folder's error: 76, 68, 71).
  void Refresh();

  Event<> PathChange;
  Event<> PatternChange;

  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  // What a listing was read from: the host folder and its state at that moment.
  struct Stamp {
    std::string host;
    unsigned long long dev = 0, ino = 0;
    long long mtimeNs = 0, seenNs = 0;
    bool operator==(const Stamp& o) const {
      return host == o.host && dev == o.dev && ino == o.ino && mtimeNs == o.mtimeNs;
    }
  };
  static std::optional<Stamp> FolderStamp(const std::string& path);
  std::vector<std::string> Read(const std::string& path);
  bool Unchanged() const;
  std::optional<Stamp> stamp_;  // of the listing shown; nullopt: read on the next Refresh
  std::string path_;
  std::string pattern_ = "*.*";
  bool hidden_ = false;
};

// The folder tree around Path: ListIndex -1 is the open folder, -2 its parent
// ... down to the drive root; 0..ListCount-1 are its sub-folders.  List(i) is
// a full path.
class DirListBox : public Control {
 public:
  static constexpr const char* kTypeName = "DirListBox";
  DirListBox(Form& f, std::string name, int index = -1);

  const std::string& Path() const { return path_; }
  // Rebuilds and raises Change when the folder differs (case-insensitively);
  // a missing folder: 76; a drive that is not ready: 68.
  void SetPath(const std::string& winPath);
  int ListCount() const { return static_cast<int>(subDirs_.size()); }
  // Sub-folder i, or (i < 0) the open folder and its ancestors; "" out of range.
  std::string List(int i) const;
  int ListIndex() const { return listIndex_; }
  // -Depth()..ListCount-1, else 380.  Raises Click (Path does not change).
  void SetListIndex(int i);
  // Number of levels shown above the sub-folders (1 at a drive root).
  int Depth() const { return static_cast<int>(ancestors_.size()); }
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int t);
  void Refresh();

  Event<> Change;
  Event<> Scroll;

  bool CanFocus() const override { return true; }
  void UserSelect(int i);  // Click
  void UserOpen(int i);    // double-click: Path = List(i), Change
  bool SetDesignProperty(const std::string& key, const std::string& value) override;

 private:
  void Rebuild(const std::string& path);
  std::string path_;
  std::vector<std::string> ancestors_;  // [0] root ... [n-1] the open folder
  std::vector<std::string> subDirs_;    // full paths
  int listIndex_ = -1;
  int topIndex_ = 0;
};

// The drive letters of the prefix.  Entries read "c: [LABEL]" ("d:" when the
// drive has no label or is not ready).
class DriveListBox : public Control {
 public:
  static constexpr const char* kTypeName = "DriveListBox";
  DriveListBox(Form& f, std::string name, int index = -1);

  // The selected entry's text ("c: [SYSTEM]").
  std::string Drive() const;
  // Only the first character counts ("E", "e:\dcim").  Re-reads the list and
  // raises Change when the drive differs.  Unknown letter or not ready: 68, and
  // the selection stays.
  void SetDrive(const std::string& drive);
  // Selects the drive's entry without reading the drive and without raising Change, so that a
  // drive whose medium is gone can still be shown as the one a folder lies on.  A letter the
  // list does not hold: 68, and the selection stays.
  void ShowDrive(const std::string& drive);
  int ListCount() const { return static_cast<int>(entries_.size()); }
  const std::string& List(int i) const;  // "" out of range
  int ListIndex() const { return listIndex_; }
  void SetListIndex(int i);  // selects entry i as SetDrive does
  void Refresh();

  Event<> Change;

  bool CanFocus() const override { return true; }
  // The user picks entry i: Change is raised even for a drive that is not ready (the handler's
  // own use of the drive then fails, as on Windows).
  void UserSelect(int i);
  bool SetDesignProperty(const std::string& key, const std::string& value) override;

 private:
  void ReadDrives();
  int FindLetter(char letter) const;
  void Select(int i);
  std::vector<std::string> entries_;
  std::vector<char> letters_;
  int listIndex_ = -1;
};

}  // namespace forms
