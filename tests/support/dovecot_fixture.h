#pragma once

// A real Dovecot POP3 server for integration tests and benchmarks. It runs
// with its own configuration, base_dir and state_dir under a private temporary
// directory, listens on 127.0.0.1 and an unused port, authenticates users from
// a passwd-file and serves each user's maildir, which the fixture fills.
// When the process runs as root, mail is served as the system user "mail"
// (Dovecot refuses uid 0); otherwise as the current user. With a
// certificate it serves TLS as well: "ssl = required", STLS on the plain
// port and implicit TLS on a second loopback port.

#include <sys/types.h>

#include <string>
#include <vector>

namespace pelnor::test {

class DovecotServer {
 public:
  // Path of the dovecot binary, empty when it is not installed.
  static std::string BinaryPath();

  DovecotServer();
  DovecotServer(const DovecotServer&) = delete;
  DovecotServer& operator=(const DovecotServer&) = delete;
  // Stops the server and removes the temporary directory.
  ~DovecotServer();

  // Adds a user with an empty maildir. Users may be added while running.
  void AddUser(const std::string& name, const std::string& password);

  // Writes the configuration and starts `dovecot -F -c FILE`; returns once
  // the server greets on its port. Raises std::runtime_error (with the tail
  // of Dovecot's log) when it does not come up.
  void Start();
  // Stops the server by its PID and waits for it to exit.
  void Stop();
  // Listens on `port` instead of a free one (0: any free one). Call before Start.
  void SetPort(int port) { fixedPort_ = port; }
  // Serves TLS with this certificate and key (PEM files): ssl = required,
  // STLS on Port(), implicit TLS on TlsPort(). Call before Start; to change
  // the certificate of a running server, Stop, call again and Start.
  void EnableTls(const std::string& certFile, const std::string& keyFile);

  int Port() const { return port_; }
  // The implicit TLS port (POP3S); 0 without TLS.
  int TlsPort() const { return tlsPort_; }
  const std::string& Dir() const { return dir_; }

  // Drops one mail (raw bytes, CR LF or LF line ends) into the user's maildir.
  void Deliver(const std::string& user, const std::string& bytes);
  // Mails currently in the user's maildir (new and cur).
  int CountMails(const std::string& user) const;
  // Dovecot's own log, for failure messages. Each POP3 session ends in a
  // line "... Disconnected: Logged out top=T/TB, retr=R/RB, del=D/M,
  // size=S, in=I, out=O": TOP and RETR commands and the bytes they sent,
  // and the bytes read from and sent to the client after the login.
  std::string LogText() const;
  // Logins Dovecot accepted for the user so far (its log's "Login: user=<name>").
  int Logins(const std::string& user) const;

 private:
  std::string MaildirOf(const std::string& user) const;
  void WriteConfig() const;
  bool Launch();
  bool WaitForGreeting(int timeoutMs) const;
  void ChownToMailUser(const std::string& path) const;

  std::string dir_;
  int port_ = 0;
  int fixedPort_ = 0;
  int tlsPort_ = 0;
  std::string certFile_;
  std::string keyFile_;
  pid_t pid_ = -1;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  std::string userName_;
  int delivered_ = 0;
};

}  // namespace pelnor::test
