#include "dovecot_fixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "files.h"

namespace fs = std::filesystem;

namespace pelnor::test {

namespace {

constexpr const char* kCandidates[] = {"/usr/sbin/dovecot", "/usr/local/sbin/dovecot"};

// An ephemeral port that is free right now.
int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = 0;
  if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    port = ntohs(addr.sin_port);
  if (fd >= 0) ::close(fd);
  if (port == 0) throw std::runtime_error("dovecot fixture: no free port on 127.0.0.1");
  return port;
}

}  // namespace

std::string DovecotServer::BinaryPath() {
  for (const char* path : kCandidates)
    if (::access(path, X_OK) == 0) return path;
  return {};
}

DovecotServer::DovecotServer() {
  // Dovecot's own users must walk down to the maildir, so the directory sits
  // in the world-traversable /tmp even when TMPDIR points somewhere private.
  const fs::path base = fs::is_directory("/tmp") ? fs::path("/tmp") : fs::temp_directory_path();
  std::string pattern = (base / "pelnor-dovecot-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("dovecot fixture: mkdtemp failed");
  dir_ = pattern;
  // The mail user must be able to walk down to its maildir.
  ::chmod(dir_.c_str(), 0755);
  const passwd* user = ::geteuid() == 0 ? ::getpwnam("mail") : ::getpwuid(::geteuid());
  if (!user) throw std::runtime_error("dovecot fixture: no user to serve mail as");
  uid_ = user->pw_uid;
  gid_ = user->pw_gid;
  userName_ = user->pw_name;
  fs::create_directories(dir_ + "/run");
  fs::create_directories(dir_ + "/state");
  fs::create_directories(dir_ + "/mail");
  ChownToMailUser(dir_ + "/mail");
  WriteBytes(dir_ + "/passwd", "");
}

DovecotServer::~DovecotServer() {
  Stop();
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

void DovecotServer::ChownToMailUser(const std::string& path) const {
  if (::geteuid() == 0 && ::chown(path.c_str(), uid_, gid_) != 0)
    throw std::runtime_error("dovecot fixture: cannot chown " + path);
}

std::string DovecotServer::MaildirOf(const std::string& user) const {
  return dir_ + "/mail/" + user;
}

void DovecotServer::AddUser(const std::string& name, const std::string& password) {
  const std::string home = MaildirOf(name);
  for (const char* sub : {"", "/new", "/cur", "/tmp"}) {
    fs::create_directories(home + sub);
    ChownToMailUser(home + sub);
  }
  std::ofstream out(dir_ + "/passwd", std::ios::app);
  out << name << ":{PLAIN}" << password << "::::::\n";
}

void DovecotServer::WriteConfig() const {
  const std::string uid = std::to_string(uid_);
  std::ostringstream conf;
  conf << "base_dir = " << dir_ << "/run\n"
       << "state_dir = " << dir_ << "/state\n"
       << "instance_name = pelnor-test-" << ::getpid() << "-" << port_ << "\n"
       << "protocols = pop3\n"
       << "listen = 127.0.0.1\n";
  if (certFile_.empty()) {
    conf << "ssl = no\n";
  } else {
    conf << "ssl = required\n"
         << "ssl_cert = <" << certFile_ << "\n"
         << "ssl_key = <" << keyFile_ << "\n";
  }
  conf
       << "log_path = " << dir_ << "/dovecot.log\n"
       // What each session cost, in the log: commands, and bytes each way.
       << "pop3_logout_format = top=%t/%p, retr=%r/%b, del=%d/%m, size=%s, in=%i, out=%o\n"
       << "mail_location = maildir:" << dir_ << "/mail/%u\n"
       << "first_valid_uid = " << uid << "\n"
       << "last_valid_uid = " << uid << "\n";
  if (::geteuid() != 0) {
    conf << "default_internal_user = " << userName_ << "\n"
         << "default_login_user = " << userName_ << "\n";
  }
  conf << "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " << dir_
       << "/passwd\n}\n"
       << "userdb {\n  driver = static\n  args = uid=" << uid << " gid=" << gid_
       << " home=" << dir_ << "/mail/%u\n}\n"
       << "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = "
       << port_ << "\n  }\n";
  if (tlsPort_ != 0)
    conf << "  inet_listener pop3s {\n    address = 127.0.0.1\n    port = " << tlsPort_
         << "\n    ssl = yes\n  }\n";
  conf << "}\n";
  WriteBytes(dir_ + "/dovecot.conf", conf.str());
}

void DovecotServer::Start() {
  const std::string binary = BinaryPath();
  if (binary.empty()) throw std::runtime_error("dovecot fixture: dovecot is not installed");
  for (int attempt = 0; attempt < 3; ++attempt) {
    port_ = fixedPort_ != 0 ? fixedPort_ : FreeLoopbackPort();
    tlsPort_ = 0;
    if (!certFile_.empty())
      do tlsPort_ = FreeLoopbackPort();
      while (tlsPort_ == port_);
    WriteConfig();
    if (Launch()) return;
    Stop();
  }
  throw std::runtime_error("dovecot fixture: the server did not start:\n" + LogText());
}

bool DovecotServer::Launch() {
  const std::string binary = BinaryPath();
  const std::string conf = dir_ + "/dovecot.conf";
  const std::string out = dir_ + "/dovecot.out";
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("dovecot fixture: fork failed");
  if (pid_ == 0) {
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    ::execl(binary.c_str(), "dovecot", "-F", "-c", conf.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return WaitForGreeting(15000);
}

bool DovecotServer::WaitForGreeting(int timeoutMs) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) return false;  // it died
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port_));
    bool greeted = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      pollfd p{fd, POLLIN, 0};
      char buffer[64] = {};
      greeted = ::poll(&p, 1, 2000) > 0 && ::recv(fd, buffer, sizeof buffer - 1, 0) > 3 &&
                std::string(buffer).rfind("+OK", 0) == 0;
      ::send(fd, "QUIT\r\n", 6, MSG_NOSIGNAL);
    }
    ::close(fd);
    if (greeted) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

void DovecotServer::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = 0;
  pid_t rc = 0;
  while ((rc = ::waitpid(pid_, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (rc == 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
  }
  pid_ = -1;
}

void DovecotServer::Deliver(const std::string& user, const std::string& bytes) {
  // Names sort in delivery order, so Dovecot numbers the mails that way.
  ++delivered_;
  char name[64];
  std::snprintf(name, sizeof name, "%010d.P%dQ%d.pelnor", 1000000000 + delivered_,
                static_cast<int>(::getpid()), delivered_);
  const std::string home = MaildirOf(user);
  const std::string tmp = home + "/tmp/" + name;
  WriteBytes(tmp, bytes);
  ChownToMailUser(tmp);
  fs::rename(tmp, home + "/new/" + name);
}

int DovecotServer::CountMails(const std::string& user) const {
  int count = 0;
  for (const char* sub : {"/new", "/cur"})
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(MaildirOf(user) + sub))
      ++count;
  return count;
}

void DovecotServer::EnableTls(const std::string& certFile, const std::string& keyFile) {
  certFile_ = certFile;
  keyFile_ = keyFile;
}

int DovecotServer::Logins(const std::string& user) const {
  const std::string log = LogText();
  const std::string mark = "Login: user=<" + user + ">";
  int count = 0;
  for (auto at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) ++count;
  return count;
}

std::string DovecotServer::LogText() const {
  return ReadBytesIfExists(dir_ + "/dovecot.out") + ReadBytesIfExists(dir_ + "/dovecot.log");
}

}  // namespace pelnor::test
