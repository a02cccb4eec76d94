#pragma once

// What the check cycle talks through: the POP3 client of one cycle, the tray
// icon and the check timer. Kept abstract so the cycle runs in tests without
// a network, a display or a desktop; the program wires in the real ones.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/mime/mail_message.h"
#include "core/pop3/pop3_errors.h"
#include "core/store/server_address.h"
#include "core/pop3/uidl_listing.h"

namespace pelnor {

// One POP3 conversation at a time, as Pop3Session offers it. A message
// lives only while the handler it was handed to runs.
class Pop3Client {
 public:
  using NotifyEvent = std::function<void(Pop3Client& Sender)>;
  using ErrorEvent =
      std::function<void(Pop3Client& Sender, std::int32_t Error, const std::string& Msg)>;
  using MessageHandler = std::function<void(std::uint32_t number, const MailMessage& msg)>;

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
  // STAT; sets MessageCount.
  virtual void Stat() = 0;
  virtual std::uint32_t MessageCount() const = 0;
  // UIDL: every message's unique-id; nothing, and no error, when the server
  // offers none or lists what cannot be read.
  virtual std::optional<std::vector<UidlEntry>> ListUniqueIds() = 0;
  // Fetches the messages `numbers` in that order, whole or (headersOnly)
  // their header, and hands each to `handle`; stops at the first refusal.
  // Returns how many were handed over.
  virtual std::int32_t RetrieveEach(const std::vector<std::uint32_t>& numbers, bool headersOnly,
                                    const MessageHandler& handle) = 0;
  virtual void DeleteMessage(std::uint32_t number) = 0;
  // Ends the session; does nothing when the connection is already closed.
  virtual void Quit() = 0;

  NotifyEvent OnQuit;  // the connection has closed
  ErrorEvent OnError;  // a refusal; the connection is closed by then
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
