#include "core/store/pending_output.h"

#include <gtest/gtest.h>

#include "core/store/digit_file.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::Exists;
using test::TempDir;

TEST(PendingOutput, AnEntryOutlivesTheRunThatMadeItUntilRemoved) {
  TempDir dir;
  const std::string path = dir.Dir() + "main.pnd";
  PendingOutput(dir.Dir(), "main").Add("<1@x>");
  EXPECT_EQ(test::PermissionBits(path), 0600u);

  PendingOutput found(dir.Dir(), "main");
  EXPECT_TRUE(found.Holds("<1@x>"));
  found.Add("<2@x>");
  found.Remove("<1@x>");
  EXPECT_EQ(ReadDigitFile(path), (std::vector<std::string>{"<2@x>"}));
  found.KeepOnly({"<9@x>"});
  EXPECT_TRUE(found.Empty());
  EXPECT_FALSE(Exists(path)) << "no file while nothing is pending";
  EXPECT_EQ(test::EntryCount(dir.Dir()), 0);
}

}  // namespace
}  // namespace pelnor
