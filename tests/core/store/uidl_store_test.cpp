#include "core/store/uidl_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/store/digit_codec.h"
#include "core/store/digit_file.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using testing::ElementsAre;

class UidlStoreTest : public testing::Test {
 protected:
  std::string Path() const { return dir.Dir() + "main.uidl"; }
  UidlStore Open(const std::string& mailbox = "taro@pop.example.jp") const {
    return UidlStore(dir.Dir(), "main", mailbox);
  }
  std::vector<std::string> Lines() const { return *ReadDigitFile(Path()); }
  ino_t Inode() const {
    struct stat st {};
    ::stat(Path().c_str(), &st);
    return st.st_ino;
  }
  TempDir dir;
};

TEST_F(UidlStoreTest, RecordsWhatWasHandledForTheNextCheck) {
  {
    UidlStore store = Open();
    EXPECT_FALSE(store.Handled("a1"));
    store.Record("a1", "<1@x>");
    store.Record("b2", "");  // skipped by the sender filter
  }
  EXPECT_THAT(Lines(), ElementsAre("taro@pop.example.jp", "a1 <1@x>", "b2"));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
  UidlStore again = Open();
  EXPECT_TRUE(again.Handled("a1"));
  EXPECT_TRUE(again.Handled("b2"));
  EXPECT_EQ(again.IdentityOf("a1"), "<1@x>");
  EXPECT_EQ(again.IdentityOf("b2"), "");
  EXPECT_FALSE(again.Handled("c3"));
}

TEST_F(UidlStoreTest, KeepsOnlyWhatTheServerStillListsAndRewritesOnlyThen) {
  {
    UidlStore store = Open();
    for (const char* uid : {"a", "b", "c"}) store.Record(uid, "");
  }
  const ino_t written = Inode();
  UidlStore store = Open();
  store.KeepOnly({"c", "new", "a", "b"});
  EXPECT_EQ(Inode(), written) << "all still listed: not rewritten";
  store.KeepOnly({"c", "new", "a"});
  EXPECT_THAT(Lines(), ElementsAre("taro@pop.example.jp", "c", "a"));
  EXPECT_FALSE(store.Handled("b"));
  store.Record("new", "<n@x>");
  EXPECT_THAT(Lines(), ElementsAre("taro@pop.example.jp", "c", "a", "new <n@x>"));
}

// The same alias pointed at another server or user: its unique-ids mean
// nothing there, and taking them for handled would lose mail.
TEST_F(UidlStoreTest, AFileOfAnotherMailboxCountsAsEmptyAndIsReplaced) {
  Open("taro@old.example.jp").Record("1", "<1@x>");
  UidlStore store = Open();
  EXPECT_FALSE(store.Handled("1"));
  store.Record("2", "");
  EXPECT_THAT(Lines(), ElementsAre("taro@pop.example.jp", "2"));
}

TEST_F(UidlStoreTest, AppendAfterACutLineStartsANewLine) {
  Open().Record("a", "");
  WriteBytes(Path(), ReadBytes(Path()) + EncodeDigits("b").substr(0, 12));
  Open().Record("c", "");
  UidlStore store = Open();
  EXPECT_TRUE(store.Handled("a"));
  EXPECT_TRUE(store.Handled("c"));
}

}  // namespace
}  // namespace pelnor
