// Pop3Session's fetch: wire traffic, the spool file, the terminator search, the
// progress reports, dot-unstuffing, parsing, ownership and RetrieveAll.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/session_test_util.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

using Pop3SessionRetrieve = SessionTest;

TEST_F(Pop3SessionRetrieve, FetchesParsesAndReportsInOrder) {
  Pop3Script script = Counted(1);
  AddFetch(script, 1, PlainMail("hello", "first line"));
  StartCounted(script);
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(msg->Subject, "hello");
  EXPECT_EQ(msg->From, "alice@example.com");
  EXPECT_EQ(msg->MessageId, "<hello@x>");
  EXPECT_THAT(msg->Headers, ElementsAre("From: alice@example.com", "Subject: hello",
                                        "Message-ID: <hello@x>"));
  EXPECT_THAT(msg->Text, ElementsAre("first line"));
  EXPECT_EQ(msg->Size, static_cast<int>(Stuffed(PlainMail("hello", "first line")).size()));
  EXPECT_THAT(events_.Events, ElementsAre("before 1", "progress 100", "after"));
  EXPECT_THAT(socket_->Received(), ::testing::EndsWith("LAST\r\nLIST 1\r\nRETR 1\r\n"));
  EXPECT_EQ(pop_->OwnedMessages(), 1u);
}

TEST_F(Pop3SessionRetrieve, HeaderOnlyFetchUsesTopAndSkipsTheBody) {
  StartCounted(Counted(1)
                   .On("LIST 1", "+OK 1 500\r\n")
                   .On("TOP 1 0", "+OK\r\nSubject: only header\r\n\r\n.\r\n"));
  MailMessage* msg = pop_->RetrieveHeader(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_EQ(msg->Subject, "only header");
  EXPECT_THAT(msg->Text, IsEmpty());
  EXPECT_EQ(msg->Size, 500);
  EXPECT_THAT(socket_->Received(), ::testing::EndsWith("LIST 1\r\nTOP 1 0\r\n"));
}

TEST_F(Pop3SessionRetrieve, WithoutConnectionRaises) {
  Start(Pop3Script());
  for (bool headers : {false, true}) {
    try {
      headers ? pop_->RetrieveHeader(1) : pop_->RetrieveMessage(1);
      FAIL();
    } catch (const EInvalidOperation& e) {
      EXPECT_STREQ(e.what(), "Not connected.");
    }
  }
  EXPECT_THAT(events_.Events, IsEmpty());
}

TEST_F(Pop3SessionRetrieve, ListSizeFallsBack) {
  const struct {
    const char* name;
    std::string list;
    int size;
  } rows[] = {
      {"no size", "+OK 1", 100},
      {"refused", "-ERR no such message", 100},
      {"refused with a number", "-ERR sorry 250", 250},
      {"normal", "+OK 1 4321", 4321},
  };
  for (const auto& row : rows) {
    StartCounted(Counted(1).On("LIST 1", row.list + "\r\n").On("RETR 1", "+OK\r\nA: b\r\n\r\nx\r\n.\r\n"));
    MailMessage* msg = pop_->RetrieveMessage(1);
    ASSERT_NE(msg, nullptr) << row.name;
    EXPECT_EQ(msg->Size, row.size) << row.name;
    EXPECT_THAT(events_.Only("error"), IsEmpty()) << row.name;
  }
}

TEST_F(Pop3SessionRetrieve, RefusedRetrReports2004) {
  StartCounted(Counted(1).On("LIST 1", "+OK 1 10\r\n").On("RETR 1", "-ERR message gone\r\n"));
  EXPECT_EQ(pop_->RetrieveMessage(1), nullptr);
  EXPECT_THAT(events_.Events, ElementsAre("before 1", "quit", "error 2004 message gone"));
  EXPECT_FALSE(pop_->Connected());
  EXPECT_EQ(pop_->OwnedMessages(), 0u);
}

TEST_F(Pop3SessionRetrieve, EmptyMessageHasNoHeaderAndNoBody) {
  StartCounted(Counted(1).On("LIST 1", "+OK 1 0\r\n").On("RETR 1", "+OK\r\n.\r\n"));
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 1);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_THAT(list.Items(0).Headers, IsEmpty());
  EXPECT_THAT(list.Items(0).Text, IsEmpty());
}

TEST_F(Pop3SessionRetrieve, DotUnstuffing) {
  // Wire lines after the blank line, and what the body must hold.
  const std::vector<std::string> wire = {"..", "..a", ".a", "a.", "...", ".x"};
  std::string body = "+OK\r\nSubject: dots\r\n\r\n";
  for (const std::string& line : wire) body += line + "\r\n";
  body += ".\r\n";
  StartCounted(Counted(1).On("LIST 1", "+OK 1 100\r\n").On("RETR 1", body));
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_THAT(msg->Text, ElementsAre(".", ".a", "a", "a.", "..", "x"));
}

TEST_F(Pop3SessionRetrieve, HeaderLinesAreUnstuffedToo) {
  StartCounted(Counted(1)
                   .On("LIST 1", "+OK 1 100\r\n")
                   .On("RETR 1", "+OK\r\n..X-Dot: 1\r\nSubject: s\r\n\r\nb\r\n.\r\n"));
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_THAT(msg->Headers, ElementsAre(".X-Dot: 1", "Subject: s"));
}

// Every place the five bytes CR LF "." CR LF can be cut between two reads.
TEST_F(Pop3SessionRetrieve, TerminatorSplitOverTwoReads) {
  const std::string whole = "+OK\r\nSubject: s\r\n\r\nbody\r\n.\r\n";
  for (std::size_t cut = whole.size() - 4; cut < whole.size(); ++cut) {
    StartCounted(Counted(1)
                     .On("LIST 1", "+OK 1 30\r\n")
                     .Expect("RETR 1")
                     .Send(whole.substr(0, cut))
                     .Send(whole.substr(cut))
                     .On("QUIT", "+OK\r\n"));
    MailMessage* msg = pop_->RetrieveMessage(1);
    ASSERT_NE(msg, nullptr) << "cut at " << cut;
    EXPECT_THAT(msg->Text, ElementsAre("body")) << "cut at " << cut;
    pop_->Quit();
    EXPECT_FALSE(pop_->Failed()) << "cut at " << cut;
    EXPECT_THAT(socket_->Mismatches(), IsEmpty());
  }
}

TEST_F(Pop3SessionRetrieve, ContinuationLinesAcrossReadsJoinUp) {
  const std::string first = "+OK\r\nSubject: long\r\n\r\n" + Repeat('a', 1500);
  StartCounted(Counted(1)
                   .On("LIST 1", "+OK 1 3000\r\n")
                   .Expect("RETR 1")
                   .Send(first)
                   .Send(Repeat('b', 500) + "\r\nend\r\n.\r\n"));
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_THAT(msg->Text, ElementsAre(Repeat('a', 1500) + Repeat('b', 500), "end"));
}

TEST_F(Pop3SessionRetrieve, DecodeEventsComeBetweenTheFetchAndAfterRetrieve) {
  std::string mail =
      "+OK\r\nSubject: att\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
      "--b\r\nContent-Type: text/plain\r\n\r\nsee attachment\r\n"
      "--b\r\nContent-Type: application/octet-stream; name=\"a.bin\"\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\n";
  for (int i = 0; i < 20; ++i) mail += "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVo=\r\n";
  mail += "--b--\r\n.\r\n";
  StartCounted(Counted(1).On("LIST 1", "+OK 1 " + std::to_string(mail.size()) + "\r\n").On("RETR 1", mail));
  pop_->DecodeProgressStep = 50;
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  ASSERT_EQ(msg->AttachedFiles.Count(), 1);
  EXPECT_EQ(msg->AttachedFiles.Items(0).FileName, "a.bin");
  ASSERT_GE(events_.Events.size(), 5u);
  EXPECT_EQ(events_.Events[0], "before 1");
  EXPECT_EQ(events_.Events[1], "progress 100");
  EXPECT_THAT(events_.Events[2], ::testing::StartsWith("decode-start a.bin "));
  EXPECT_EQ(events_.Events[events_.Events.size() - 2], "decode-end");
  EXPECT_EQ(events_.Events.back(), "after");
  // A step of 50 allows at most two progress reports and the final one.
  EXPECT_LE(events_.Only("decode-progress").size(), 3u);
  EXPECT_TRUE(events_.SendersOk);
}

}  // namespace
}  // namespace pelnor::test
