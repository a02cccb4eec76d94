// RetrieveAll: order, the bound taken at the start, deletion from
// OnAfterRetrieve, stopping on a refusal, and message ownership.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/session_test_util.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

Pop3Script ThreeMails() {
  Pop3Script script = Counted(3);
  for (int n = 1; n <= 3; ++n) AddFetch(script, n, PlainMail("m" + std::to_string(n), "b"));
  return script;
}

using Pop3SessionRetrieveAll = SessionTest;

TEST_F(Pop3SessionRetrieveAll, FetchesEveryMessageInOrder) {
  StartCounted(ThreeMails());
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 3);
  EXPECT_THAT(Subjects(list), ElementsAre("m1", "m2", "m3"));
  EXPECT_THAT(events_.Events,
              ElementsAre("before 1", "progress 100", "after", "before 2", "progress 100", "after",
                          "before 3", "progress 100", "after"));
  EXPECT_THAT(socket_->Mismatches(), IsEmpty());
}

TEST_F(Pop3SessionRetrieveAll, NothingToFetchClearsTheListWithoutTraffic) {
  StartCounted(Counted(1).On("LIST 1", "+OK 1 10\r\n").On("RETR 1", "+OK\r\nSubject: a\r\n\r\n.\r\n"));
  MailMessageList list;
  ASSERT_EQ(pop_->RetrieveAll(list), 1);
  StartCounted(Counted(0));
  const std::string before = socket_->Received();
  EXPECT_EQ(pop_->RetrieveAll(list), 0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(socket_->Received(), before);
}

TEST_F(Pop3SessionRetrieveAll, RefusedRetrStopsAndKeepsWhatCameBefore) {
  Pop3Script script = Counted(3);
  AddFetch(script, 1, PlainMail("m1", "b"));
  script.On("LIST 2", "+OK 2 10\r\n").On("RETR 2", "-ERR locked\r\n");
  StartCounted(script);
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 1);
  EXPECT_THAT(Subjects(list), ElementsAre("m1"));
  EXPECT_THAT(events_.Only("error"), ElementsAre("error 2004 locked"));
  EXPECT_THAT(socket_->Received(), ::testing::EndsWith("RETR 2\r\n"));
  pop_->Quit();  // the error closed the connection already
  EXPECT_THAT(socket_->Received(), ::testing::EndsWith("RETR 2\r\n"));
}

TEST_F(Pop3SessionRetrieveAll, DeleteFromAfterRetrieveKeepsTheBound) {
  Pop3Script script = Counted(3);
  AddFetch(script, 1, PlainMail("m1", "b"));
  AddFetch(script, 2, PlainMail("m2", "b"));
  script.On("DELE 2", "+OK\r\n");
  AddFetch(script, 3, PlainMail("m3", "b"));
  StartCounted(script);
  std::uint32_t current = 0;
  pop_->OnBeforeRetrieve = [&](Pop3Session&, std::uint32_t n) { current = n; };
  pop_->OnAfterRetrieve = [&](Pop3Session& pop) {
    if (current == 2) pop.DeleteMessage(2);
  };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 3);
  EXPECT_THAT(Subjects(list), ElementsAre("m1", "m2", "m3"));
  EXPECT_THAT(pop_->DeletedNumbers(), ElementsAre("2"));
  EXPECT_EQ(pop_->MessageCount(), 2);
  EXPECT_THAT(socket_->Mismatches(), IsEmpty());
}

TEST_F(Pop3SessionRetrieveAll, DeletingEachMessageAsTheCheckCycleDoes) {
  Pop3Script script = Counted(3);
  for (int n = 1; n <= 3; ++n) {
    AddFetch(script, n, PlainMail("m" + std::to_string(n), "b"));
    script.On("DELE " + std::to_string(n), "+OK\r\n");
  }
  script.On("QUIT", "+OK\r\n");
  StartCounted(script);
  std::uint32_t deleteNumber = 1;
  pop_->OnAfterRetrieve = [&](Pop3Session& pop) { pop.DeleteMessage(deleteNumber++); };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 3);
  EXPECT_THAT(pop_->DeletedNumbers(), ElementsAre("1", "2", "3"));
  EXPECT_EQ(pop_->MessageCount(), 0);
  pop_->Quit();
  EXPECT_FALSE(pop_->Failed());
  EXPECT_THAT(socket_->Mismatches(), IsEmpty());
}

TEST_F(Pop3SessionRetrieveAll, DeletedNumbersAreSkipped) {
  Pop3Script script = Counted(3).On("DELE 1", "+OK\r\n");
  AddFetch(script, 2, PlainMail("m2", "b"));
  StartCounted(script);
  pop_->DeleteMessage(1);
  MailMessageList list;
  // The bound is the count after the deletion: 2.
  EXPECT_EQ(pop_->RetrieveAll(list), 1);
  EXPECT_THAT(Subjects(list), ElementsAre("m2"));
  EXPECT_THAT(socket_->Received(), ::testing::Not(::testing::HasSubstr("RETR 1")));
}

// A refused DELE inside OnAfterRetrieve closes the session; RetrieveAll then
// ends with what it has instead of tripping over the closed connection.
TEST_F(Pop3SessionRetrieveAll, RefusedDeleteFromAfterRetrieveEndsTheLoop) {
  Pop3Script script = Counted(3);
  AddFetch(script, 1, PlainMail("m1", "b"));
  script.On("DELE 1", "-ERR read-only mailbox\r\n");
  StartCounted(script);
  pop_->OnAfterRetrieve = [](Pop3Session& pop) { pop.DeleteMessage(1); };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 1);
  EXPECT_THAT(Subjects(list), ElementsAre("m1"));
  EXPECT_THAT(events_.Only("error"), ElementsAre("error 2003 read-only mailbox"));
  EXPECT_FALSE(pop_->Connected());
  EXPECT_NO_THROW(pop_->Quit());
}

// However RetrieveAll breaks off, what it listed before stays listed, fully
// decoded and with its OnAfterRetrieve fired, for the check to put out.
// Nobody, not even root, can create files in /proc.
TEST_F(Pop3SessionRetrieveAll, BreakingOffKeepsWhatCameBefore) {
  std::string large;
  for (int i = 0; i < 1500; ++i) large += std::string(70, 'x') + "\r\n";
  Pop3Script hangUp = Counted(2);
  AddFetch(hangUp, 1, PlainMail("m1", "b"));
  hangUp.On("LIST 2", "+OK 2 100\r\n").Expect("RETR 2").Send("+OK\r\nSubject: m2\r\n").Close();
  Pop3Script noSpool = Counted(2);
  AddFetch(noSpool, 1, PlainMail("m1", "b"));
  noSpool.On("LIST 2", "+OK 2 105000\r\n").On("RETR 2", "+OK\r\nSubject: m2\r\n\r\n" + large);
  const struct {
    const char* name;
    const Pop3Script& script;
    bool overlap;
    const char* tmpDir;
    const char* error;
  } rows[] = {
      {"hang-up", hangUp, false, nullptr, "closed the connection"},
      {"hang-up during the fetch ahead", hangUp, true, nullptr, "closed the connection"},
      {"no spool file", noSpool, false, "/proc", "Cannot create a temporary file in /proc: "},
      {"no spool file for the fetch ahead", noSpool, true, "/proc",
       "Cannot create a temporary file in /proc: "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StartCounted(row.script);
    if (row.overlap) pop_->OverlapDecodeFrom = 0;
    if (row.tmpDir) ::setenv("TMPDIR", row.tmpDir, 1);
    MailMessageList list;
    std::string error;
    try {
      pop_->RetrieveAll(list);
    } catch (const std::exception& e) {
      error = e.what();
    }
    ::setenv("TMPDIR", tmp_.Path().c_str(), 1);
    EXPECT_THAT(error, ::testing::HasSubstr(row.error));
    ASSERT_THAT(Subjects(list), ElementsAre("m1"));
    EXPECT_THAT(list.Items(0).Text, ElementsAre("b"));
    EXPECT_THAT(events_.Only("after"), ElementsAre("after"));
    EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  }
}

TEST_F(Pop3SessionRetrieveAll, MessagesOutliveTheList) {
  StartCounted(ThreeMails());
  std::vector<MailMessage*> fetched;
  {
    MailMessageList list;
    pop_->RetrieveAll(list);
    for (int i = 0; i < list.Count(); ++i) fetched.push_back(&list.Items(i));
    list.Clear();
  }
  EXPECT_EQ(pop_->OwnedMessages(), 3u);
  ASSERT_EQ(fetched.size(), 3u);
  EXPECT_EQ(fetched[2]->Subject, "m3");
}

}  // namespace
}  // namespace pelnor::test
