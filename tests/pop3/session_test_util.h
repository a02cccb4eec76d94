#pragma once

// Shared pieces of the TVekPOP tests: an event recorder, a fixture that puts
// a scripted socket under a TVekPOP, and script fragments for the usual
// parts of a conversation.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pop3/VekPOP3.h"
#include "pop3_script.h"
#include "scripted_socket.h"

namespace pelnor::test {

// Records every event of a TVekPOP as a short text, in firing order.
struct TEventLog {
  std::vector<std::string> Events;
  const TClientSocket* SocketSender = nullptr;
  const TVekPOP* PopSender = nullptr;
  bool SendersOk = true;

  void Attach(TVekPOP& pop);
  // The events whose text starts with `prefix`.
  std::vector<std::string> Only(const std::string& prefix) const;
};

// A temporary directory that becomes TMPDIR for the test, so spool files can
// be counted without seeing other programs' files.
class TPrivateTempDir {
 public:
  TPrivateTempDir();
  ~TPrivateTempDir();
  // Names of the "vek" files in it.
  std::vector<std::string> VekFiles() const;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::string oldTmpDir_;
  bool hadTmpDir_ = false;
};

// Greeting, USER bob / PASS pw accepted.
TPop3Script LoggedIn();
// LoggedIn, then STAT reporting `count` messages and LAST refused.
TPop3Script Counted(int count);
// Mail text with CR LF line ends, dot-stuffed, followed by the terminator.
std::string Stuffed(const std::vector<std::string>& lines);
// The LIST and RETR exchange for message `n` of the given lines.
void AddFetch(TPop3Script& script, int n, const std::vector<std::string>& lines);
// A small plain-text mail.
std::vector<std::string> PlainMail(const std::string& subject, const std::string& body);
// The subjects of the listed messages, in list order.
std::vector<std::string> Subjects(const TVekMsgList& list);

class TSessionTest : public ::testing::Test {
 protected:
  // Builds a TVekPOP over a scripted socket playing `script`.
  void Start(const TPop3Script& script);
  // Start, then Connect, Login and CountNewMessages, expecting success.
  void StartCounted(const TPop3Script& script);

  TScriptedSocket* socket_ = nullptr;  // owned by pop_
  std::unique_ptr<TVekPOP> pop_;
  TEventLog events_;
  TPrivateTempDir tmp_;
};

}  // namespace pelnor::test
