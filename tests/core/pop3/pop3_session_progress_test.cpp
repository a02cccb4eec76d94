// Fetch progress and the spool file: the figures of single-read and
// multi-read fetches, and the spool file gone after every way out.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>

#include "support/session_test_util.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A RETR answer of exactly the given read sizes (status line and terminator
// included), for message `n` whose LIST size is `listSize`.
void AddChunkedFetch(Pop3Script& script, int n, int listSize, const std::vector<int>& reads) {
  const int total = std::accumulate(reads.begin(), reads.end(), 0);
  const std::string head = "+OK\r\nSubject: p\r\n\r\n";
  const std::string tail = "\r\n.\r\n";
  std::string body;
  while (static_cast<int>(head.size() + body.size() + tail.size()) < total)
    body += body.size() % 72 == 70 ? '\n' : 'a';
  std::string whole = head + body + tail;
  const std::string num = std::to_string(n);
  script.On("LIST " + num, "+OK " + num + " " + std::to_string(listSize) + "\r\n")
      .Expect("RETR " + num);
  std::size_t at = 0;
  for (int size : reads) {
    script.Send(whole.substr(at, size));
    at += size;
  }
}

using Pop3SessionProgress = SessionTest;

TEST_F(Pop3SessionProgress, FiguresOfFetches) {
  const struct {
    const char* name;
    int listSize;
    std::vector<int> reads;
    std::uint16_t step;
    std::vector<std::string> expected;
  } rows[] = {
      {"first fetch in one read reports 100", 1000, {200}, 10, {"progress 100"}},
      {"one report per read, step added once", 1000, {300, 300, 300, 130}, 10,
       {"progress 60", "progress 90", "progress 103"}},
      {"below the next mark no report", 1000, {300, 150, 150, 300, 106}, 50,
       {"progress 60", "progress 101"}},
      {"ending below 100 adds 100", 2000, {300, 300, 305}, 10,
       {"progress 30", "progress 45", "progress 100"}},
      {"size 0 reports only 100 at the end", 0, {300, 300, 200}, 10, {"progress 100"}},
      {"no size in LIST measures against 100 bytes", 100, {50, 30, 40}, 10,
       {"progress 80", "progress 120"}},
  };
  for (const auto& row : rows) {
    Pop3Script script = Counted(1);
    AddChunkedFetch(script, 1, row.listSize, row.reads);
    StartCounted(script);
    pop_->RetrieveProgressStep = row.step;
    ASSERT_NE(pop_->RetrieveMessage(1), nullptr) << row.name;
    EXPECT_THAT(events_.Only("progress"), ElementsAreArray(row.expected)) << row.name;
    EXPECT_EQ(socket_->ChunksRead(), static_cast<int>(row.reads.size()) + 6) << row.name;
  }
}

TEST_F(Pop3SessionProgress, SingleReadAfterA103PercentFetchReportsNothing) {
  Pop3Script script = Counted(3);
  AddChunkedFetch(script, 1, 1000, {300, 300, 300, 130});
  AddChunkedFetch(script, 2, 1000, {200});
  StartCounted(script);
  ASSERT_NE(pop_->RetrieveMessage(1), nullptr);
  events_.Events.clear();
  ASSERT_NE(pop_->RetrieveMessage(2), nullptr);
  EXPECT_THAT(events_.Events, ElementsAre("before 2", "after"));
}

TEST_F(Pop3SessionProgress, SingleReadAfterAFetchEndingLowReportsAgain) {
  Pop3Script script = Counted(3);
  AddChunkedFetch(script, 1, 2000, {300, 300, 305});
  AddChunkedFetch(script, 2, 1000, {200});
  StartCounted(script);
  ASSERT_NE(pop_->RetrieveMessage(1), nullptr);
  events_.Events.clear();
  ASSERT_NE(pop_->RetrieveMessage(2), nullptr);
  EXPECT_THAT(events_.Events, ElementsAre("before 2", "progress 100", "after"));
}

TEST_F(Pop3SessionProgress, ListWithoutSizeMeansHundredBytes) {
  StartCounted(Counted(1)
                   .On("LIST 1", "+OK 1\r\n")
                   .Expect("RETR 1")
                   .Send("+OK\r\nSubject: s\r\n\r\n" + std::string(25, 'x'))  // 44 bytes
                   .Send(std::string(36, 'y') + "\r\n.\r\n"));                // 85 in all
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(msg->Size, 100);
  EXPECT_THAT(events_.Only("progress"), ElementsAre("progress 85", "progress 100"));
}

using Pop3SessionSpool = SessionTest;

// A mail that outgrows the 64 KB kept in memory goes on in a "vek" file,
// which is gone once the fetch is over; a small one never needs it.
TEST_F(Pop3SessionSpool, LargeMailSpillsToAFileThatIsGoneAfter) {
  Pop3Script script = Counted(2);
  AddChunkedFetch(script, 1, 100000, {20000, 20000, 20000, 20000, 20000});
  AddChunkedFetch(script, 2, 1000, {300, 300, 300});
  StartCounted(script);
  std::vector<std::size_t> during;
  pop_->OnRetrieveProgress = [&](Pop3Session&, std::uint16_t) { during.push_back(tmp_.TempFilesLeft().size()); };
  pop_->RetrieveProgressStep = 20;
  ASSERT_NE(pop_->RetrieveMessage(1), nullptr);
  EXPECT_THAT(during, ElementsAre(0u, 0u, 0u, 1u, 1u));
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  during.clear();
  ASSERT_NE(pop_->RetrieveMessage(2), nullptr);
  EXPECT_THAT(during, ::testing::Each(0u));
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

TEST_F(Pop3SessionSpool, GoneAfterARefusedFetch) {
  StartCounted(Counted(1).On("LIST 1", "+OK 1 10\r\n").On("RETR 1", "-ERR no\r\n"));
  std::size_t duringError = 99;
  pop_->OnError = [&](Pop3Session&, std::int32_t, const std::string&) {
    duringError = tmp_.TempFilesLeft().size();
  };
  EXPECT_EQ(pop_->RetrieveMessage(1), nullptr);
  EXPECT_EQ(duringError, 0u) << "removed before the error is reported";
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

// Nobody, not even root, can create files in /proc: the fetch ends when the
// mail outgrows memory, as on a full disk.
TEST_F(Pop3SessionSpool, NoRoomForTheSpoolFileEndsTheFetchWithItsError) {
  Pop3Script script = Counted(1);
  AddChunkedFetch(script, 1, 100000, {50000, 50000});
  StartCounted(script);
  ::setenv("TMPDIR", "/proc", 1);
  EXPECT_THROW(pop_->RetrieveMessage(1), std::filesystem::filesystem_error);
  ::setenv("TMPDIR", tmp_.Path().c_str(), 1);
  EXPECT_TRUE(pop_->Connected()) << "the caller's Quit still has work to do";
  EXPECT_EQ(pop_->OwnedMessages(), 0u);
}

TEST_F(Pop3SessionSpool, GoneWhenTheServerHangsUpMidFetch) {
  StartCounted(Counted(1)
                   .On("LIST 1", "+OK 1 1000\r\n")
                   .Expect("RETR 1")
                   .Send("+OK\r\nSubject: cut\r\n\r\npart of the body\r\n")
                   .Close());
  try {
    pop_->RetrieveMessage(1);
    FAIL() << "a cut fetch returned";
  } catch (const EServerClosed& e) {
    EXPECT_THAT(e.what(), HasSubstr("closed the connection"));
  }
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(events_.Events, ElementsAre("before 1", "quit"));
  pop_->Quit();
  EXPECT_THAT(socket_->Received(), ::testing::EndsWith("RETR 1\r\n")) << "Quit sent nothing";
}

TEST_F(Pop3SessionSpool, GoneWhenTheServerFallsSilentMidFetch) {
  StartCounted(Counted(1)
                   .On("LIST 1", "+OK 1 1000\r\n")
                   .Expect("RETR 1")
                   .Send("+OK\r\nSubject: slow\r\n\r\nfirst\r\n")
                   .Pause(10000)
                   .Send("rest\r\n.\r\n"));
  pop_->ReplyTimeoutMs = 400;
  int pumps = 0;
  pop_->OnProcessMessages = [&] { ++pumps; };
  try {
    pop_->RetrieveMessage(1);
    FAIL() << "a silent server's fetch returned";
  } catch (const EServerSilent& e) {
    EXPECT_THAT(e.what(), HasSubstr("did not answer within 400 ms"));
  }
  EXPECT_GE(pumps, 2) << "the wait lets the user interface run";
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  EXPECT_FALSE(pop_->Connected());
}

TEST_F(Pop3SessionSpool, GoneWhenAHandlerThrows) {
  Pop3Script script = Counted(1);
  AddChunkedFetch(script, 1, 1000, {300, 300, 300});
  StartCounted(script);
  pop_->OnRetrieveProgress = [](Pop3Session&, std::uint16_t) { throw std::runtime_error("handler"); };
  EXPECT_THROW(pop_->RetrieveMessage(1), std::runtime_error);
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

TEST_F(Pop3SessionSpool, BadUuencodeStaysTextAndLeavesNoFiles) {
  StartCounted(Counted(1)
                   .On("LIST 1", "+OK 1 100\r\n")
                   .On("RETR 1",
                       "+OK\r\nSubject: uu\r\n\r\nbegin 644 x.bin\r\nMabcdefgh\r\nend\r\n.\r\n"));
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_THAT(msg->Text, ElementsAre("begin 644 x.bin", "Mabcdefgh", "end"));
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  EXPECT_TRUE(pop_->Connected());
}

}  // namespace
}  // namespace pelnor::test
