#include <cerrno>

#include <gtest/gtest.h>

#include "platform/winfs/WinFs.h"
#include "tests/unit/winfs/ExpectVbError.h"

TEST(WinFsErrors, ErrnoMapping) {
  EXPECT_EQ(winfs::ErrnoToVb(ENOSPC), 61);
  EXPECT_EQ(winfs::ErrnoToVb(EDQUOT), 61);
  EXPECT_EQ(winfs::ErrnoToVb(EACCES), 75);
  EXPECT_EQ(winfs::ErrnoToVb(EPERM), 75);
  EXPECT_EQ(winfs::ErrnoToVb(EROFS), 70);
  EXPECT_EQ(winfs::ErrnoToVb(ENOENT), 53);
  EXPECT_EQ(winfs::ErrnoToVb(ENOENT, true), 76);
  EXPECT_EQ(winfs::ErrnoToVb(ENOTDIR), 76);
  EXPECT_EQ(winfs::ErrnoToVb(EIO), 57);
  EXPECT_EQ(winfs::ErrnoToVb(ENOMEDIUM), 71);
  EXPECT_EQ(winfs::ErrnoToVb(EEXIST), 58);
  EXPECT_EQ(winfs::ErrnoToVb(EMFILE), 67);
  EXPECT_EQ(winfs::ErrnoToVb(ENOTEMPTY), 75);
  EXPECT_VB_ERROR(winfs::RaiseFromErrno(ENOSPC, "C:\\x"), 61);
  EXPECT_VB_ERROR(winfs::RaiseFromErrno(ENOENT, "C:\\x\\y", true), 76);
}
