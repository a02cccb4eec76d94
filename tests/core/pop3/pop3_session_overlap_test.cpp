// RetrieveAll decoding one message while it fetches the next: the caller
// sees the same events, reply state, results and exceptions as with one
// fetch after the other; only the wire order of a handler's DELE moves.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "core/mime/temp_file_error.h"
#include "core/text/text_util.h"
#include "support/session_test_util.h"
#include "support/test_mails.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Pop3SessionOverlap : public SessionTest {
 protected:
  // Every answer is decoded on the second thread.
  void StartOverlapped(const Pop3Script& script) {
    StartCounted(script);
    pop_->OverlapDecodeFrom = 0;
  }
};

Pop3Script MixedMails(const std::string& data) {
  Pop3Script script = Counted(3);
  AddFetch(script, 1, PlainMail("m1", "b"));
  AddFetch(script, 2, SplitLines(MailWithAttachment("m2", "text", "a.bin", data)));
  AddFetch(script, 3, PlainMail("m3", "b"));
  return script;
}

TEST_F(Pop3SessionOverlap, EventsAndResultsAreThoseOfOneFetchAfterTheOther) {
  const std::string data(3000, 'x');
  StartCounted(MixedMails(data));
  pop_->DecodeProgressStep = 30;
  MailMessageList list;
  ASSERT_EQ(pop_->RetrieveAll(list), 3);
  const std::vector<std::string> oneAfterTheOther = events_.Events;
  ASSERT_THAT(events_.Only("decode-progress"), ::testing::SizeIs(::testing::Ge(3u)));

  events_.Events.clear();
  StartOverlapped(MixedMails(data));
  pop_->DecodeProgressStep = 30;
  const std::thread::id caller = std::this_thread::get_id();
  bool allOnCaller = true;
  for (auto* handler : {&pop_->OnDecodeEnd, &pop_->OnAfterRetrieve}) {
    *handler = [&, previous = *handler](Pop3Session& pop) {
      allOnCaller = allOnCaller && std::this_thread::get_id() == caller;
      previous(pop);
    };
  }
  EXPECT_EQ(pop_->RetrieveAll(list), 3);
  EXPECT_THAT(Subjects(list), ElementsAre("m1", "m2", "m3"));
  ASSERT_EQ(list.Items(1).AttachedFiles.Count(), 1);
  EXPECT_EQ(list.Items(1).AttachedFiles.Items(0).Data, data);
  EXPECT_EQ(events_.Events, oneAfterTheOther);
  EXPECT_TRUE(allOnCaller);
  EXPECT_TRUE(events_.SendersOk);
  EXPECT_THAT(socket_->Mismatches(), IsEmpty());
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

TEST_F(Pop3SessionOverlap, SmallAnswersAreNotFetchedAhead) {
  Pop3Script script = Counted(2);
  AddFetch(script, 1, PlainMail("m1", "b"));
  script.On("DELE 1", "+OK\r\n");
  AddFetch(script, 2, PlainMail("m2", "b"));
  StartCounted(script);  // the default threshold: far above these mails
  pop_->OnAfterRetrieve = [](Pop3Session& pop) {
    if (pop.MessageCount() == 2) pop.DeleteMessage(1);
  };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 2);
  EXPECT_THAT(socket_->Mismatches(), IsEmpty()) << socket_->Received();
}

// The handler's DELE follows the fetch made ahead on the wire; the server
// still gets every command and the session's counts are as before.
TEST_F(Pop3SessionOverlap, DeleteFromAfterRetrieveFollowsTheFetchAhead) {
  Pop3Script script = Counted(3);
  AddFetch(script, 1, PlainMail("m1", "b"));
  AddFetch(script, 2, PlainMail("m2", "b"));
  script.On("DELE 1", "+OK\r\n");
  AddFetch(script, 3, PlainMail("m3", "b"));
  script.On("DELE 2", "+OK\r\n").On("DELE 3", "+OK\r\n");
  StartOverlapped(script);
  std::uint32_t deleteNumber = 1;
  pop_->OnAfterRetrieve = [&](Pop3Session& pop) {
    EXPECT_FALSE(pop.Failed());
    pop.DeleteMessage(deleteNumber++);
  };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 3);
  EXPECT_THAT(Subjects(list), ElementsAre("m1", "m2", "m3"));
  EXPECT_THAT(pop_->DeletedNumbers(), ElementsAre("1", "2", "3"));
  EXPECT_EQ(pop_->MessageCount(), 0);
  EXPECT_THAT(socket_->Mismatches(), IsEmpty()) << socket_->Received();
}

TEST_F(Pop3SessionOverlap, MessageDeletedByAHandlerIsDroppedAfterItsFetchAhead) {
  Pop3Script script = Counted(3);
  AddFetch(script, 1, PlainMail("m1", "b"));
  AddFetch(script, 2, PlainMail("m2", "b"));
  script.On("DELE 2", "+OK\r\n");
  AddFetch(script, 3, PlainMail("m3", "b"));
  StartOverlapped(script);
  std::vector<std::uint32_t> before;
  pop_->OnBeforeRetrieve = [&](Pop3Session&, std::uint32_t n) { before.push_back(n); };
  pop_->OnAfterRetrieve = [&](Pop3Session& pop) {
    if (before.back() == 1) pop.DeleteMessage(2);
  };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 2);
  EXPECT_THAT(Subjects(list), ElementsAre("m1", "m3"));
  EXPECT_THAT(before, ElementsAre(1, 3));
  EXPECT_THAT(socket_->Mismatches(), IsEmpty()) << socket_->Received();
}

// A RETR refused ahead of its turn is reported at its turn: the handlers of
// the message before still see an open, unfailed session.
TEST_F(Pop3SessionOverlap, RefusalFetchedAheadIsReportedInTurn) {
  Pop3Script script = Counted(3);
  AddFetch(script, 1, PlainMail("m1", "b"));
  script.On("LIST 2", "+OK 2 10\r\n").On("RETR 2", "-ERR locked\r\n").On("DELE 1", "+OK\r\n");
  StartOverlapped(script);
  pop_->OnAfterRetrieve = [&](Pop3Session& pop) {
    events_.Events.push_back("after");
    EXPECT_TRUE(pop.Connected());
    EXPECT_FALSE(pop.Failed());
    EXPECT_EQ(pop.ReplyStatus(), "+OK");
    pop.DeleteMessage(1);
  };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 1);
  EXPECT_THAT(Subjects(list), ElementsAre("m1"));
  EXPECT_THAT(events_.Events, ElementsAre("before 1", "progress 100", "after", "delete 1",
                                          "before 2", "quit", "error 2004 locked"));
  EXPECT_TRUE(pop_->Failed());
  EXPECT_EQ(pop_->ReplyText(), "locked");
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(socket_->Mismatches(), IsEmpty()) << socket_->Received();
}

TEST_F(Pop3SessionOverlap, HangUpDuringTheFetchAheadRaisesInTurn) {
  Pop3Script script = Counted(2);
  AddFetch(script, 1, PlainMail("m1", "b"));
  script.On("LIST 2", "+OK 2 100\r\n").Expect("RETR 2").Send("+OK\r\nSubject: half\r\n").Close();
  StartOverlapped(script);
  MailMessageList list;
  EXPECT_THROW(pop_->RetrieveAll(list), EServerClosed);
  EXPECT_THAT(Subjects(list), ElementsAre("m1"));
  EXPECT_THAT(events_.Events, ElementsAre("before 1", "progress 100", "after", "before 2", "quit"));
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

// Nobody, not even root, can create files in /proc: the decoder of the
// attachment cannot make its temporary file.
TEST_F(Pop3SessionOverlap, DecoderErrorIsRaisedInTurnAfterTheFetchAhead) {
  Pop3Script script = Counted(2);
  AddFetch(script, 1, SplitLines(MailWithAttachment("m1", "text", "a.bin", "data")));
  AddFetch(script, 2, PlainMail("m2", "b"));
  StartOverlapped(script);
  ::setenv("TMPDIR", "/proc", 1);
  MailMessageList list;
  try {
    pop_->RetrieveAll(list);
    FAIL() << "the decoder went without its temporary file";
  } catch (const ETempFileError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("in /proc: "));
  }
  ::setenv("TMPDIR", tmp_.Path().c_str(), 1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_THAT(events_.Only("after"), IsEmpty());
  EXPECT_THAT(events_.Only("before"), ElementsAre("before 1"));
  EXPECT_TRUE(pop_->Connected()) << "the caller's Quit still has work to do";
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

TEST_F(Pop3SessionOverlap, HandlerExceptionLeavesNoSpoolFilesBehind) {
  Pop3Script script = Counted(2);
  AddFetch(script, 1, PlainMail("m1", "b"));
  AddFetch(script, 2, PlainMail("m2", "b"));
  StartOverlapped(script);
  pop_->OnAfterRetrieve = [](Pop3Session&) { throw std::runtime_error("printer on fire"); };
  MailMessageList list;
  EXPECT_THROW(pop_->RetrieveAll(list), std::runtime_error);
  EXPECT_EQ(pop_->OwnedMessages(), 1u);
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

}  // namespace
}  // namespace pelnor::test
