#pragma once

// Shared pieces of the Pop3Session tests: an event recorder, a fixture that puts
// a scripted socket under a Pop3Session, and script fragments for the usual
// parts of a conversation.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/pop3/pop3_session.h"
#include "pop3_script.h"
#include "scripted_socket.h"
#include "temp_dir.h"

namespace pelnor::test {

// Records every event of a Pop3Session as a short text, in firing order.
struct EventLog {
  std::vector<std::string> Events;
  const ClientSocket* SocketSender = nullptr;
  const Pop3Session* PopSender = nullptr;
  bool SendersOk = true;

  void Attach(Pop3Session& pop);
  // The events whose text starts with `prefix`.
  std::vector<std::string> Only(const std::string& prefix) const;
};

// Greeting, USER bob / PASS pw accepted.
Pop3Script LoggedIn();
// LoggedIn, then STAT reporting `count` messages and LAST refused.
Pop3Script Counted(int count);
// Mail text with CR LF line ends, dot-stuffed, followed by the terminator.
std::string Stuffed(const std::vector<std::string>& lines);
// The LIST and RETR exchange for message `n` of the given lines.
void AddFetch(Pop3Script& script, int n, const std::vector<std::string>& lines);
// A small plain-text mail.
std::vector<std::string> PlainMail(const std::string& subject, const std::string& body);
// A mail of 9 000 numbered body lines, "0qqq…" to "8999qqq…" (about 600 KB):
// long enough to be read in batches, not a whole number of them.
std::vector<std::string> LongMail();
// The subjects of the listed messages, in list order.
std::vector<std::string> Subjects(const MailMessageList& list);

class SessionTest : public ::testing::Test {
 protected:
  // Builds a Pop3Session over a scripted socket playing `script`.
  void Start(const Pop3Script& script);
  // Start, then Connect, Login and CountNewMessages, expecting success.
  void StartCounted(const Pop3Script& script);

  ScriptedSocket* socket_ = nullptr;  // owned by pop_
  std::unique_ptr<Pop3Session> pop_;
  EventLog events_;
  PrivateTempDir tmp_;
};

}  // namespace pelnor::test
