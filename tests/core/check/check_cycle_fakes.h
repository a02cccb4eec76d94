#pragma once

// In-memory stand-ins for what the check cycle talks through: POP3 servers
// with POP3's commit-on-QUIT deletion and, when asked, unique-ids, a tray
// icon and a timer that record their states, and a printer that jams on a
// chosen text.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/check/check_ports.h"
#include "support/recording_canvas.h"

namespace pelnor::test {

struct FakeMail {
  std::string From;
  std::string MessageId;
  std::string Subject;
  std::string Date = "Sat, 25 Dec 2004 15:29:58 +0900";
  std::string Uid;  // the unique-id; "u-" + Subject when empty
};

struct FakeMailbox {
  std::string User = "user";
  std::string Password = "pass";
  std::vector<FakeMail> Mails;
  bool Uidl = false;             // answers UIDL
  std::uint32_t RefuseRetr = 0;  // RETR of this number answers -ERR
  std::string RefuseText = "no such message";
  // Thrown from RetrieveEach after the first message, as a broken socket would.
  std::string BreakAfterFirst;
  // A certificate the client refuses for this reason, unless the client
  // was given its fingerprint as the pinned one.
  std::string CertificateProblem;
  std::string CertificateFingerprint;
};

// The servers by host name (a mailbox forgets its DELE marks unless the
// session ends with QUIT), and every command they received, as
// "host COMMAND" lines.
struct FakeMailWorld {
  std::map<std::string, FakeMailbox> Hosts;
  std::vector<std::string> Wire;
  // Runs before each retrieval, inside the cycle (where the pump would).
  std::function<void(std::uint32_t number)> OnRetrieve;
  // Runs after a refusal has been reported through OnError.
  std::function<void()> AfterError;
};

class FakePop3Client : public Pop3Client {
 public:
  explicit FakePop3Client(FakeMailWorld& world) : world_(world) {}

  void SetServer(const ServerAddress& server, const std::string& pinnedCertificate,
                 const std::string& userId, const std::string& passwd) override;
  void Connect() override;
  bool Failed() const override { return failed_; }
  ConnectFailure LastConnectFailure() const override { return connectFailure_; }
  std::string ConnectError() const override { return connectError_; }
  bool Connected() const override { return connected_; }
  bool Login() override;
  void Stat() override;
  std::uint32_t MessageCount() const override { return count_; }
  std::optional<std::vector<UidlEntry>> ListUniqueIds() override;
  std::int32_t RetrieveEach(const std::vector<std::uint32_t>& numbers, bool headersOnly,
                            const MessageHandler& handle) override;
  void DeleteMessage(std::uint32_t number) override;
  void Quit() override;

 private:
  void Send(const std::string& command);
  void Refuse(std::int32_t code, const std::string& text);
  void Close();

  FakeMailWorld& world_;
  std::string host_, pin_, user_, pass_;
  ConnectFailure connectFailure_ = ConnectFailure::kNone;
  std::string connectError_;
  FakeMailbox* box_ = nullptr;
  bool connected_ = false;
  bool failed_ = false;
  std::uint32_t count_ = 0;
  std::set<std::uint32_t> marked_;
};

struct FakeTray : CheckTray {
  bool IsEnabled = true;
  bool IsAnimating = false;
  std::vector<std::string> Notes;
  std::string Tip;
  std::vector<std::string> Events;  // "enabled 0", "animate", "still"

  bool Enabled() const override { return IsEnabled; }
  void SetEnabled(bool value) override {
    IsEnabled = value;
    Events.push_back(value ? "enabled 1" : "enabled 0");
  }
  bool Animating() const override { return IsAnimating; }
  void StartAnimation() override {
    IsAnimating = true;
    Events.push_back("animate");
  }
  void StopAnimation() override {
    IsAnimating = false;
    Events.push_back("still");
  }
  void Notify(const std::string& text) override { Notes.push_back(text); }
  void SetTip(const std::string& text) override { Tip = text; }
};

struct FakeTimer : CheckTimer {
  bool IsEnabled = true;
  std::vector<bool> Changes;
  bool Enabled() const override { return IsEnabled; }
  void SetEnabled(bool value) override {
    IsEnabled = value;
    Changes.push_back(value);
  }
};

// Throws from the one TextRect that draws `JamOn`.
class JammingCanvas : public RecordingCanvas {
 public:
  std::string JamOn;
  std::string JamText = "printer jammed";
  void TextRect(const Rect& clip, int x, int y, std::string_view text) override {
    if (!JamOn.empty() && text == JamOn) throw EPrinterError(JamText);
    RecordingCanvas::TextRect(clip, x, y, text);
  }
};

}  // namespace pelnor::test
