// UIDL, STAT alone, and RetrieveEach: what the check needs to fetch only
// the mail it has not seen, one message at a time.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/session_test_util.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> Listed(const std::vector<UidlEntry>& entries) {
  std::vector<std::string> texts;
  for (const UidlEntry& e : entries) texts.push_back(std::to_string(e.Number) + " " + e.Uid);
  return texts;
}

TEST(UidlListing, ReadsOnlyWhatIsCertainAndTrustsOnlyAWholeMailbox) {
  EXPECT_THAT(Listed(*ParseUidlListing("+OK\r\n1 00000001abc\r\n2  x~!\n3 z \t\r\n.\r\n")),
              ElementsAre("1 00000001abc", "2 x~!", "3 z"));
  EXPECT_THAT(*ParseUidlListing("+OK 0 messages\r\n.\r\n"), IsEmpty());
  const char* const unreadable[] = {"1", "1 ", "0 a", "-1 a", "x a", "1 a b", "1 \x80",
                                    "99999999999 a"};
  for (const char* line : unreadable)
    EXPECT_FALSE(ParseUidlListing("+OK\r\n1 ok\r\n" + std::string(line) + "\r\n.\r\n")) << line;

  const std::vector<UidlEntry> whole = {{2, "b"}, {1, "a"}};
  EXPECT_TRUE(IsCompleteListing(whole, 2));
  EXPECT_FALSE(IsCompleteListing(whole, 3)) << "a message left out";
  EXPECT_FALSE(IsCompleteListing({{1, "a"}, {1, "b"}}, 2)) << "a number twice";
  EXPECT_FALSE(IsCompleteListing({{1, "a"}, {3, "b"}}, 2)) << "a number beyond STAT";
  EXPECT_FALSE(IsCompleteListing({{1, "a"}, {2, "a"}}, 2)) << "two mails, one id";
}

using Pop3SessionUidl = SessionTest;

TEST_F(Pop3SessionUidl, ListsAcrossReadsAndARefusalIsNoError) {
  Start(LoggedIn()
            .On("STAT", "+OK 2 320\r\n")
            .Expect("UIDL")
            .SendSplit({"+OK\r\n1 00000001a\r\n2 0000", "0002a\r\n.", "\r\n"}, 30));
  pop_->Connect();
  ASSERT_TRUE(pop_->Login());
  EXPECT_EQ(pop_->Stat(), 2u);
  const auto listing = pop_->ListUniqueIds();
  ASSERT_TRUE(listing);
  EXPECT_THAT(Listed(*listing), ElementsAre("1 00000001a", "2 00000002a"));
  EXPECT_EQ(socket_->Received(), "USER bob\r\nPASS pw\r\nSTAT\r\nUIDL\r\n") << "no LAST";

  Start(LoggedIn().On("UIDL", "-ERR unknown command\r\n").On("QUIT", "+OK\r\n"));
  pop_->Connect();
  ASSERT_TRUE(pop_->Login());
  EXPECT_FALSE(pop_->ListUniqueIds());
  EXPECT_TRUE(pop_->Connected());
  EXPECT_THAT(events_.Only("error"), IsEmpty());
  pop_->Quit();
  EXPECT_THAT(socket_->Mismatches(), IsEmpty());
}

// Each message exists only while its handler runs, however the fetch runs:
// one after the other, or decoded while the next is fetched ahead.
TEST_F(Pop3SessionUidl, RetrieveEachLendsEachMessageInTheOrderAsked) {
  for (std::size_t overlapFrom : {SIZE_MAX, std::size_t{0}}) {
    SCOPED_TRACE(overlapFrom);
    Pop3Script script = Counted(3)
                            .On("LIST 3", "+OK 3 80\r\n")
                            .On("TOP 3 0", "+OK\r\nSubject: h3\r\n\r\n.\r\n")
                            .On("LIST 1", "+OK 1 80\r\n")
                            .On("TOP 1 0", "+OK\r\nSubject: h1\r\n\r\n.\r\n");
    AddFetch(script, 3, PlainMail("m3", "b"));
    StartCounted(script);
    pop_->OverlapDecodeFrom = overlapFrom;
    std::vector<std::string> seen;
    auto handle = [&](std::uint32_t n, MailMessage& msg) {
      seen.push_back(std::to_string(n) + " " + msg.Subject + " " + std::to_string(msg.Text.size()));
      EXPECT_EQ(pop_->OwnedMessages(), 0u);
    };
    EXPECT_EQ(pop_->RetrieveEach({3, 1}, true, handle), 2);
    EXPECT_EQ(pop_->RetrieveEach({3}, false, handle), 1);
    EXPECT_THAT(seen, ElementsAre("3 h3 0", "1 h1 0", "3 m3 1"));
    EXPECT_THAT(events_.Only("after"), ElementsAre("after", "after", "after"));
    EXPECT_EQ(pop_->OwnedMessages(), 0u);
    EXPECT_THAT(socket_->Mismatches(), IsEmpty());
    EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  }
}

}  // namespace
}  // namespace pelnor::test
