// Pop3Session against a real Dovecot POP3 server started for the test: a small
// Japanese mailbox fetched, decoded and deleted, and a refused login.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/dovecot_fixture.h"
#include "core/text/sjis.h"
#include "support/session_test_util.h"
#include "support/test_mails.h"
#include "support/temp_dir.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class DovecotSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (DovecotServer::BinaryPath().empty())
      GTEST_SKIP() << "*** dovecot is NOT installed (Debian package dovecot-pop3d): "
                      "the POP3 integration test did not run ***";
    server_ = std::make_unique<DovecotServer>();
    server_->AddUser("taro", "secret");
  }

  std::unique_ptr<Pop3Session> Session(const std::string& password) {
    auto pop = std::make_unique<Pop3Session>();
    pop->Host = "127.0.0.1";
    pop->Port = std::to_string(server_->Port());
    pop->UserId = "taro";
    pop->Passwd = password;
    pop->ReplyTimeoutMs = 10000;
    pop->OnWireLog = [this](const std::string& line) { wire_ += line + "\n"; };
    return pop;
  }

  PrivateTempDir tmp_;
  std::unique_ptr<DovecotServer> server_;
  std::string wire_;
};

TEST_F(DovecotSession, FetchDecodeDeleteAndFindTheMailboxEmpty) {
  server_->Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "テスト送信です",
                                        {"こんにちは。", "本文の二行目です。"}));
  server_->Deliver("taro", "From: bob@example.com\r\nSubject: dots\r\n\r\n.leading dot\r\n..two\r\n.\r\nend\r\n");
  server_->Deliver("taro", MailWithAttachment("添付ファイル", "資料を送ります。", "資料.txt",
                                              std::string("binary\0bytes\xff", 13)));
  server_->Start();

  auto pop = Session("secret");
  EventLog events;
  events.Attach(*pop);
  std::uint32_t next = 1;
  pop->OnAfterRetrieve = [&](Pop3Session& p) { p.DeleteMessage(next++); };
  pop->Connect();
  ASSERT_FALSE(pop->Failed()) << pop->ConnectError() << server_->LogText();
  ASSERT_TRUE(pop->Login()) << wire_;
  EXPECT_EQ(pop->CountNewMessages(), 0) << "Dovecot has no LAST";
  EXPECT_EQ(pop->MessageCount(), 3);
  EXPECT_TRUE(pop->Connected());

  MailMessageList list;
  ASSERT_EQ(pop->RetrieveAll(list), 3) << wire_;
  pop->Quit();
  EXPECT_FALSE(pop->Failed()) << wire_;

  const MailMessage& japanese = list.Items(0);
  EXPECT_EQ(japanese.Subject, std::string("テスト送信です"));
  EXPECT_THAT(japanese.From, HasSubstr(std::string("山田太郎")));
  EXPECT_THAT(japanese.From, HasSubstr("yamada@example.jp"));
  EXPECT_THAT(japanese.Text, ElementsAre(std::string("こんにちは。"), std::string("本文の二行目です。")));
  EXPECT_GT(japanese.Size, 0);

  EXPECT_THAT(list.Items(1).Text, ElementsAre(".leading dot", "..two", ".", "end"));

  const MailMessage& attached = list.Items(2);
  EXPECT_EQ(attached.Subject, std::string("添付ファイル"));
  ASSERT_EQ(attached.AttachedFiles.Count(), 1);
  EXPECT_EQ(attached.AttachedFiles.Items(0).FileName, std::string("資料.txt"));
  EXPECT_EQ(attached.AttachedFiles.Items(0).Data, std::string("binary\0bytes\xff", 13));
  EXPECT_THAT(attached.Text, ::testing::Contains(std::string("資料を送ります。")));
  EXPECT_FALSE(events.Only("decode-start").empty()) << "decode events reach the session";
  EXPECT_FALSE(events.Only("decode-end").empty());

  EXPECT_THAT(events.Only("delete"), ElementsAre("delete 1", "delete 2", "delete 3"));
  EXPECT_EQ(server_->CountMails("taro"), 0);
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());

  auto again = Session("secret");
  again->Connect();
  ASSERT_TRUE(again->Login());
  again->CountNewMessages();
  EXPECT_EQ(again->MessageCount(), 0);
  MailMessageList none;
  EXPECT_EQ(again->RetrieveAll(none), 0);
  again->Quit();
  EXPECT_FALSE(again->Failed());
}

// Mails above OverlapDecodeFrom are decoded while the next one arrives, so
// the handler's DELE reaches Dovecot after the next RETR; the server takes
// it as well as in lock-step, and the caller sees the usual events.
TEST_F(DovecotSession, LargeMailsDecodedWhileTheNextArrivesAreDeletedToo) {
  std::vector<std::string> attachments;
  for (int n = 0; n < 3; ++n) {
    std::string data(400 * 1024, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + n);
    server_->Deliver("taro", MailWithAttachment("図面 " + std::to_string(n + 1), "図面です。",
                                                "図面.pdf", data));
    attachments.push_back(std::move(data));
  }
  server_->Start();

  auto pop = Session("secret");
  EventLog events;
  events.Attach(*pop);
  std::uint32_t next = 1;
  pop->OnAfterRetrieve = [&](Pop3Session& p) {
    events.Events.push_back("after");
    p.DeleteMessage(next++);
  };
  pop->Connect();
  ASSERT_TRUE(pop->Login()) << wire_;
  pop->CountNewMessages();
  MailMessageList list;
  ASSERT_EQ(pop->RetrieveAll(list), 3) << wire_;
  pop->Quit();
  EXPECT_FALSE(pop->Failed()) << wire_;

  for (int n = 0; n < 3; ++n) {
    const MailMessage& msg = list.Items(n);
    EXPECT_EQ(msg.Subject, "図面 " + std::to_string(n + 1));
    ASSERT_EQ(msg.AttachedFiles.Count(), 1);
    EXPECT_TRUE(msg.AttachedFiles.Items(0).Data == attachments[n]) << "attachment " << n;
  }
  std::vector<std::string> order;
  for (const std::string& e : events.Events)
    if (e.rfind("before", 0) == 0 || e == "after" || e.rfind("delete", 0) == 0 ||
        e == "decode-end")
      order.push_back(e);
  EXPECT_THAT(order, ElementsAre("before 1", "decode-end", "after", "delete 1", "before 2",
                                 "decode-end", "after", "delete 2", "before 3", "decode-end",
                                 "after", "delete 3"));
  EXPECT_LT(wire_.find("--> RETR 2"), wire_.find("--> DELE 1")) << "fetched ahead";
  EXPECT_EQ(server_->CountMails("taro"), 0);
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

TEST_F(DovecotSession, WrongPasswordIsRefusedWithDovecotsText) {
  server_->Start();
  auto pop = Session("wrong");
  EventLog events;
  events.Attach(*pop);
  pop->Connect();
  ASSERT_FALSE(pop->Failed()) << pop->ConnectError();
  EXPECT_FALSE(pop->Login());
  EXPECT_THAT(events.Events,
              ElementsAre("connect", "quit", "error 2001 [AUTH] Authentication failed."));
  EXPECT_FALSE(pop->Connected());
}

}  // namespace
}  // namespace pelnor::test
