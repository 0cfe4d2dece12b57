#pragma once
// Shared by the main window's files only.

#include "core/modVelmod.h"

namespace photo_pages {

// Puts a flag back when the scope ends, whatever happened in it.
class FlagRestore {
 public:
  explicit FlagRestore(core::VbBool& flag) : flag_(flag), saved_(flag) {}
  ~FlagRestore() { flag_ = saved_; }
  FlagRestore(const FlagRestore&) = delete;
  FlagRestore& operator=(const FlagRestore&) = delete;

 private:
  core::VbBool& flag_;
  core::VbBool saved_;
};

}  // namespace photo_pages
