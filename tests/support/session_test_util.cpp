#include "session_test_util.h"

#include <unistd.h>

namespace pelnor::test {

void EventLog::Attach(Pop3Session& pop) {
  PopSender = &pop;
  auto popCheck = [this](Pop3Session& sender) {
    if (&sender != PopSender) SendersOk = false;
  };
  auto socketCheck = [this](ClientSocket& sender) {
    if (SocketSender && &sender != SocketSender) SendersOk = false;
  };
  pop.OnConnect = [=, this](ClientSocket& s) {
    socketCheck(s);
    Events.push_back("connect");
  };
  pop.OnQuit = [=, this](ClientSocket& s) {
    socketCheck(s);
    Events.push_back("quit");
  };
  pop.OnError = [=, this](Pop3Session& s, std::int32_t code, const std::string& msg) {
    popCheck(s);
    Events.push_back("error " + std::to_string(code) + " " + msg);
  };
  pop.OnBeforeRetrieve = [=, this](Pop3Session& s, std::uint32_t n) {
    popCheck(s);
    Events.push_back("before " + std::to_string(n));
  };
  pop.OnAfterRetrieve = [=, this](Pop3Session& s) {
    popCheck(s);
    Events.push_back("after");
  };
  pop.OnRetrieveProgress = [=, this](Pop3Session& s, std::uint16_t percent) {
    popCheck(s);
    Events.push_back("progress " + std::to_string(percent));
  };
  pop.OnDelete = [=, this](Pop3Session& s, std::uint32_t n) {
    popCheck(s);
    Events.push_back("delete " + std::to_string(n));
  };
  pop.OnDecodeStart = [=, this](Pop3Session& s, const std::string& name, std::int32_t count) {
    popCheck(s);
    Events.push_back("decode-start " + name + " " + std::to_string(count));
  };
  pop.OnDecodeProgress = [=, this](Pop3Session& s, std::uint16_t percent) {
    popCheck(s);
    Events.push_back("decode-progress " + std::to_string(percent));
  };
  pop.OnDecodeEnd = [=, this](Pop3Session& s) {
    popCheck(s);
    Events.push_back("decode-end");
  };
}

std::vector<std::string> EventLog::Only(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& e : Events)
    if (e.rfind(prefix, 0) == 0) found.push_back(e);
  return found;
}

Pop3Script LoggedIn() {
  return Pop3Script()
      .Send("+OK ready\r\n")
      .On("USER bob", "+OK\r\n")
      .On("PASS pw", "+OK logged in\r\n");
}

Pop3Script Counted(int count) {
  return LoggedIn()
      .On("STAT", "+OK " + std::to_string(count) + " " + std::to_string(count * 100) + "\r\n")
      .On("LAST", "-ERR Unknown command: LAST\r\n");
}

std::string Stuffed(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '.') text += '.';
    text += line + "\r\n";
  }
  return text + ".\r\n";
}

void AddFetch(Pop3Script& script, int n, const std::vector<std::string>& lines) {
  const std::string body = Stuffed(lines);
  const std::string num = std::to_string(n);
  script.On("LIST " + num, "+OK " + num + " " + std::to_string(body.size()) + "\r\n")
      .On("RETR " + num, "+OK message follows\r\n" + body);
}

std::vector<std::string> PlainMail(const std::string& subject, const std::string& body) {
  return {"From: alice@example.com", "Subject: " + subject, "Message-ID: <" + subject + "@x>",
          "", body};
}

std::vector<std::string> LongMail() {
  std::vector<std::string> mail = {"Subject: long", ""};
  for (int i = 0; i < 9000; ++i) mail.push_back(std::to_string(i) + std::string(60, 'q'));
  return mail;
}

std::vector<std::string> Subjects(const MailMessageList& list) {
  std::vector<std::string> subjects;
  for (int i = 0; i < list.Count(); ++i) subjects.push_back(list.Items(i).Subject);
  return subjects;
}

void SessionTest::Start(const Pop3Script& script) {
  auto socket = std::make_unique<ScriptedSocket>(script);
  socket_ = socket.get();
  pop_ = std::make_unique<Pop3Session>(std::move(socket));
  pop_->Host = "127.0.0.1";
  pop_->UserId = "bob";
  pop_->Passwd = "pw";
  pop_->ReplyTimeoutMs = 5000;  // a broken test fails fast instead of hanging
  events_.SocketSender = socket_;
  events_.Attach(*pop_);
}

void SessionTest::StartCounted(const Pop3Script& script) {
  Start(script);
  pop_->Connect();
  ASSERT_FALSE(pop_->Failed());
  ASSERT_TRUE(pop_->Login());
  pop_->CountNewMessages();
  events_.Events.clear();
}

}  // namespace pelnor::test
