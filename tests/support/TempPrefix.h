#pragma once
// A throw-away winfs prefix for tests: made in a fresh temporary folder, active while the
// object lives; the previous prefix comes back and the folder is removed on destruction.

#include <filesystem>
#include <string>

class TempPrefix {
 public:
  TempPrefix();
  ~TempPrefix();
  TempPrefix(const TempPrefix&) = delete;
  TempPrefix& operator=(const TempPrefix&) = delete;

  // The temporary folder holding the prefix and any extra drive folders.
  const std::filesystem::path& Root() const { return root_; }
  // The prefix itself (Root()/prefix).
  std::filesystem::path Prefix() const { return root_ / "prefix"; }
  // The host path of a Windows path in this prefix.
  std::filesystem::path Host(const std::string& winPath) const;
  // Writes a file by Windows path, making missing folders; returns its host path.
  std::filesystem::path WriteFile(const std::string& winPath, const std::string& bytes);
  // Makes a folder (and missing parents) by Windows path; returns its host path.
  std::filesystem::path MakeDir(const std::string& winPath);
  // Links a drive letter to a new empty folder Root()/drive_<letter>; returns that folder.
  std::filesystem::path LinkExtraDrive(char letter);
  // Removes a drive letter's link (the letter is then no drive unless marked removable).
  void UnlinkDrive(char letter);

 private:
  std::filesystem::path previous_;
  std::filesystem::path root_;
};
