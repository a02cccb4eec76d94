#pragma once

// What the check cycle talks through: the POP3 client of one cycle, the tray
// icon and the check timer. Kept abstract so the cycle runs in tests without
// a network, a display or a desktop; the program wires in the real ones.

#include <cstdint>
#include <functional>
#include <string>

#include "core/mime/mail_message.h"
#include "core/pop3/pop3_errors.h"
#include "core/store/server_address.h"

namespace pelnor {

// One POP3 conversation at a time, as Pop3Session offers it. The client owns
// every message it builds until it is destroyed; a MailMessageList only refers.
class Pop3Client {
 public:
  using NotifyEvent = std::function<void(Pop3Client& Sender)>;
  using ErrorEvent =
      std::function<void(Pop3Client& Sender, std::int32_t Error, const std::string& Msg)>;

  virtual ~Pop3Client() = default;

  // Where to connect, how securely, and as whom. `pinnedCertificate`:
  // the certificate the user trusts for this server ("sha256:..."), empty
  // for none.
  virtual void SetServer(const ServerAddress& server, const std::string& pinnedCertificate,
                         const std::string& userId, const std::string& passwd) = 0;
  virtual void Connect() = 0;
  virtual bool Failed() const = 0;
  // After a failed Connect: what kind of failure, and why (UTF-8).
  virtual ConnectFailure LastConnectFailure() const { return ConnectFailure::kNetwork; }
  virtual std::string ConnectError() const { return {}; }
  // A refusal closes the connection; DeleteMessage then raises.
  virtual bool Connected() const = 0;
  virtual bool Login() = 0;
  // STAT and LAST; sets MessageCount.
  virtual void CountNewMessages() = 0;
  virtual std::uint16_t MessageCount() const = 0;
  // Fetches messages 1..MessageCount into `list`, firing OnAfterRetrieve
  // after each one; stops at the first refusal.
  virtual void RetrieveAll(MailMessageList& list) = 0;
  virtual void DeleteMessage(std::uint16_t number) = 0;
  // Ends the session; does nothing when the connection is already closed.
  virtual void Quit() = 0;

  NotifyEvent OnQuit;  // the connection has closed
  ErrorEvent OnError;  // a refusal; the connection is closed by then
  NotifyEvent OnAfterRetrieve;
};

// The tray icon as the cycle uses it.
class CheckTray {
 public:
  virtual ~CheckTray() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool value) = 0;
  virtual bool Animating() const = 0;
  // The continuous animation (no single step).
  virtual void StartAnimation() = 0;
  virtual void StopAnimation() = 0;
  // A passing message at the icon that nobody has to close (Shift_JIS).
  virtual void Notify(const std::string& text) = 0;
  // The tip shown over the icon (Shift_JIS).
  virtual void SetTip(const std::string& text) = 0;
};

// The check timer: enabling it starts a new full interval.
class CheckTimer {
 public:
  virtual ~CheckTimer() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool value) = 0;
};

}  // namespace pelnor
