// Full retrieval of a Dovecot mailbox: Pop3Session (fetch, spool, unstuff and
// decode, as RetrieveAll does for the check cycle) beside mpop and Python's
// poplib, run one after another against the same server and mailbox, in
// plain text and over implicit TLS (POP3S) with a certificate of a test CA.
//
// Usage: pop3_bench [runs [all|pelnor [small|big]]]   (best of `runs`, default 3)
// PELNOR_BENCH_SETTLE=0 turns off the wait after bulk deletions (see Settle).

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "big_mail.h"
#include "child_run.h"
#include "core/pop3/heap_policy.h"
#include "core/pop3/pop3_session.h"
#include "support/dovecot_fixture.h"
#include "support/temp_dir.h"
#include "support/test_certificates.h"
#include "support/test_mails.h"

namespace {

namespace fs = std::filesystem;
using namespace pelnor;
using Clock = std::chrono::steady_clock;

constexpr long kExt4Magic = 0xEF53;
constexpr long kTmpfsMagic = 0x01021994;

struct Timing {
  double Wall = 0;    // seconds
  double Cpu = 0;     // user + system seconds of the client
};

struct MailSet {
  const char* Name;
  int Count;
  std::size_t Bytes;  // approximate size of one mail
};

using pelnor::bench::Seconds;

double CpuOf(const rusage& u) { return Seconds(u.ru_utime) + Seconds(u.ru_stime); }

// Japanese text mail of about `bytes`: ISO-2022-JP lines of the kind a
// person writes.
std::string TextMail(int n, std::size_t bytes) {
  static const char* kLines[] = {
      "お世話になっております。来週の打ち合わせの件でご連絡いたします。",
      "資料は添付のとおりです。ご確認のほどよろしくお願いいたします。",
      "Meeting room B, 10:00-11:30, agenda: budget 2027 and the new printer.",
      "本日の会議で決まった事項を以下にまとめます。変更があればお知らせください。",
  };
  std::vector<std::string> body;
  std::size_t size = 600;
  for (int i = 0; size < bytes; ++i) {
    body.push_back(kLines[(i + n) % 4]);
    size += pelnor::test::ToJis(body.back()).size() + 2;
  }
  return pelnor::test::JapaneseMail("山田太郎", "yamada@example.jp",
                                    "打ち合わせの件 No." + std::to_string(n), body);
}

using pelnor::bench::BigMail;

long FsType(const std::string& path) {
  struct statfs st {};
  return statfs(path.c_str(), &st) == 0 ? static_cast<long>(st.f_type) : 0;
}

// Type and options of the mount holding `path`, from /proc/self/mounts
// (longest matching mount point), for the header.
std::string MountOf(const std::string& path) {
  std::ifstream in("/proc/self/mounts");
  std::string device, point, type, options, best;
  std::size_t bestLength = 0;
  std::string rest;
  while (in >> device >> point >> type >> options && std::getline(in, rest)) {
    const bool covers = path.compare(0, point.size(), point) == 0 &&
                        (point == "/" || path.size() == point.size() || path[point.size()] == '/');
    if (covers && point.size() >= bestLength) {
      bestLength = point.size();
      best = type + " on " + point + " (" + options + ")";
    }
  }
  return best.empty() ? "?" : best;
}

std::string FsDescription(const std::string& path) {
  const long type = FsType(path);
  const char* name = type == kExt4Magic ? "ext2/3/4" : type == kTmpfsMagic ? "tmpfs" : "other";
  char magic[64];
  std::snprintf(magic, sizeof magic, "statfs f_type 0x%lX = %s", static_cast<unsigned long>(type),
                name);
  return std::string(magic) + "; " + MountOf(path);
}

// Without a journal, ext4 passes over inodes freed in the last 5-10 seconds
// when it looks for a free one; after ~1000 deletions each new file can cost
// a millisecond, so a run would pay for the one before it. Runs that create
// files therefore start only once the bench's last bulk deletion is this
// old; the clients that create none run in the meantime.
class Settle {
 public:
  static constexpr double kSeconds = 11;

  explicit Settle(bool on) : on_(on), lastDeletion_(Clock::now()) {}
  bool On() const { return on_; }
  void Deleted() { lastDeletion_ = Clock::now(); }
  bool Ready() const { return !on_ || Clock::now() >= ReadyAt(); }
  void Wait() {
    if (Ready()) return;
    const auto start = Clock::now();
    std::this_thread::sleep_until(ReadyAt());
    waited_ += std::chrono::duration<double>(Clock::now() - start).count();
  }
  double Waited() const { return waited_; }

 private:
  Clock::time_point ReadyAt() const {
    return lastDeletion_ +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kSeconds));
  }

  bool on_;
  Clock::time_point lastDeletion_;  // the start counts: we cannot know what came before
  double waited_ = 0;
};

// Points TMPDIR at `dir` for the lifetime of the object;
// std::filesystem::temp_directory_path reads it at each call.
class TmpdirOverride {
 public:
  explicit TmpdirOverride(const std::string& dir) {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    setenv("TMPDIR", dir.c_str(), 1);
  }
  ~TmpdirOverride() {
    if (old_)
      setenv("TMPDIR", old_->c_str(), 1);
    else
      unsetenv("TMPDIR");
  }
  TmpdirOverride(const TmpdirOverride&) = delete;
  TmpdirOverride& operator=(const TmpdirOverride&) = delete;

 private:
  std::optional<std::string> old_;
};

const std::size_t kDefaultOverlap = Pop3Session().OverlapDecodeFrom;

// `overlapFrom`: answers this long and longer are decoded while the next
// message arrives (SIZE_MAX: one message after the other). `tls`: the port
// is the POP3S one.
Timing TimePelnor(int port, int count, std::size_t& bytesSeen,
                   std::size_t overlapFrom = kDefaultOverlap, bool tls = false) {
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = Clock::now();
  Pop3Session pop;
  pop.Host = "127.0.0.1";
  pop.Port = std::to_string(port);
  pop.UserId = "bench";
  pop.Passwd = "pw";
  pop.OverlapDecodeFrom = overlapFrom;
  if (tls) pop.Tls = TlsMode::kImplicit;
  pop.Connect();
  if (pop.Failed() || !pop.Login()) {
    std::fprintf(stderr, "pelnor: cannot log in (%s)\n", pop.ConnectError().c_str());
    std::exit(1);
  }
  pop.CountNewMessages();
  const std::uint32_t total = pop.MessageCount();
  // One message at a time, each freed after its turn, as a check fetches.
  std::vector<std::uint32_t> numbers(total);
  std::iota(numbers.begin(), numbers.end(), 1U);
  bytesSeen = 0;
  const int got = pop.RetrieveEach(numbers, false, [&](std::uint32_t, const MailMessage& msg) {
    bytesSeen += static_cast<std::size_t>(msg.Size);
  });
  pop.Quit();
  Timing t;
  t.Wall = std::chrono::duration<double>(Clock::now() - start).count();
  getrusage(RUSAGE_SELF, &after);
  t.Cpu = CpuOf(after) - CpuOf(before);
  if (got != count) {
    std::fprintf(stderr, "pelnor: fetched %d of %d\n", got, count);
    std::exit(1);
  }
  return t;
}

// Runs a program to completion; its wall and processor time.
Timing TimeProcess(const std::vector<std::string>& argv) {
  const pelnor::bench::ChildRun run = pelnor::bench::RunToEnd(argv);
  return {run.Wall, run.Cpu};
}

// `delivery` is an mpop delivery line: "mbox /dev/null" or "maildir DIR".
// `caFile`: implicit TLS trusting that CA (the port is the POP3S one);
// empty: plain text.
std::string WriteMpopConfig(const std::string& path, const std::string& dir, int port,
                            const std::string& delivery, const std::string& caFile = {}) {
  std::ofstream out(path);
  out << "defaults\n";
  if (caFile.empty())
    out << "tls off\n";
  else
    out << "tls on\ntls_starttls off\ntls_trust_file " << caFile << "\n";
  out
      << "auth user\n"
      << "keep on\n"
      << "only_new off\n"
      << "uidls_file " << dir << "/mpop-uidls\n"
      << "delivery " << delivery << "\n"
      << "account bench\n"
      << "host 127.0.0.1\n"
      << "port " << port << "\n"
      << "user bench\n"
      << "password pw\n";
  out.close();
  chmod(path.c_str(), 0600);
  return path;
}

int CountFiles(const std::string& dir) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(dir)) n += entry.is_regular_file();
  return n;
}

constexpr const char* kPoplibScript = R"(
import poplib, sys
p = poplib.POP3('127.0.0.1', int(sys.argv[1]))
p.user('bench'); p.pass_('pw')
count, _ = p.stat()
total = 0
for i in range(1, count + 1):
    _, lines, octets = p.retr(i)
    total += octets
p.quit()
if count != int(sys.argv[2]): sys.exit(1)
)";

// One row of the table: how to time one run, and whether that run creates
// files on the temporary directory's disk (and so has to settle first).
struct Client {
  Client(std::string name, bool createsFiles, std::function<Timing()> run)
      : Name(std::move(name)), CreatesFiles(createsFiles), Run(std::move(run)) {}

  std::string Name;
  bool CreatesFiles;
  std::function<Timing()> Run;
  std::vector<Timing> Runs;

  Timing Best() const {
    Timing best{1e9, 1e9};
    for (const Timing& t : Runs) {
      if (t.Wall < best.Wall) best.Wall = t.Wall;
      if (t.Cpu < best.Cpu) best.Cpu = t.Cpu;
    }
    return best;
  }
};

// Runs every client `runs` times. File-creating clients take turns and wait
// for the settle time; the others fill that time. Each run is timed alone.
void RunAll(std::vector<Client>& clients, int runs, Settle& settle) {
  std::vector<std::size_t> creating, other;
  for (std::size_t i = 0; i < clients.size(); ++i)
    (clients[i].CreatesFiles ? creating : other).push_back(i);
  auto pending = [&](std::size_t i) {
    return clients[i].Runs.size() < static_cast<std::size_t>(runs);
  };
  std::size_t nextCreating = 0, nextOther = 0;
  auto pick = [&](const std::vector<std::size_t>& group,
                  std::size_t& next) -> std::optional<std::size_t> {
    for (std::size_t k = 0; k < group.size(); ++k) {
      const std::size_t i = group[(next + k) % group.size()];
      if (pending(i)) {
        next = (next + k + 1) % group.size();
        return i;
      }
    }
    return std::nullopt;
  };
  for (;;) {
    // Peek without advancing the turn: only a run that starts takes it.
    std::size_t peekNext = nextCreating;
    const auto c = pick(creating, peekNext);
    std::optional<std::size_t> chosen;
    if (c && settle.Ready()) {
      nextCreating = peekNext;
      chosen = c;
    } else if (auto o = pick(other, nextOther)) {
      chosen = o;
    } else if (c) {
      settle.Wait();
      nextCreating = peekNext;
      chosen = c;
    } else {
      break;
    }
    Client& client = clients[*chosen];
    client.Runs.push_back(client.Run());
  }
}

bool g_pelnorOnly = false;

struct Environment {
  std::string TempDir;   // std::filesystem::temp_directory_path() at start
  std::string TmpfsDir;  // private directory on /dev/shm, empty when there is none
  std::string WorkDir;   // the benchmark's own directory in TempDir
  std::string CaFile;    // the test CA, trusted by both clients
  pelnor::test::ServerCertificate Certificate;  // Dovecot's, for 127.0.0.1
};

void RunSet(const MailSet& set, int runs, const Environment& env, Settle& settle) {
  std::optional<pelnor::test::DovecotServer> server;
  server.emplace();
  server->AddUser("bench", "pw");
  for (int n = 1; n <= set.Count; ++n)
    server->Deliver("bench", set.Bytes > 100000 ? BigMail(n, set.Bytes) : TextMail(n, set.Bytes));
  server->EnableTls(env.Certificate.CertFile, env.Certificate.KeyFile);
  server->Start();
  const int port = server->Port();
  const int tlsPort = server->TlsPort();

  std::size_t bytes = 0;
  std::vector<Client> clients;
  const std::string pelnorDisk = "pelnor (" + env.TempDir + ")";
  // Our spool and attachment files are removed within the run, so every run
  // ends with a bulk deletion.
  clients.emplace_back(pelnorDisk, true, [&] {
    const Timing t = TimePelnor(port, set.Count, bytes);
    settle.Deleted();
    return t;
  });
  clients.emplace_back(pelnorDisk + " TLS", true, [&] {
    std::size_t seen = 0;
    const Timing t = TimePelnor(tlsPort, set.Count, seen, kDefaultOverlap, true);
    settle.Deleted();
    return t;
  });
  if (set.Bytes > 100000) {
    // The same without decoding a mail while the next one arrives.
    clients.emplace_back(pelnorDisk + " serial", true, [&] {
      std::size_t seen = 0;
      const Timing t = TimePelnor(port, set.Count, seen, SIZE_MAX);
      settle.Deleted();
      return t;
    });
    clients.emplace_back(pelnorDisk + " serial TLS", true, [&] {
      std::size_t seen = 0;
      const Timing t = TimePelnor(tlsPort, set.Count, seen, SIZE_MAX, true);
      settle.Deleted();
      return t;
    });
  }
  if (!env.TmpfsDir.empty() && !g_pelnorOnly) {
    clients.emplace_back("pelnor (tmpfs)", false, [&] {
      TmpdirOverride tmpdir(env.TmpfsDir);
      std::size_t seen = 0;
      return TimePelnor(port, set.Count, seen);
    });
  }
  // mpop delivers each run into a fresh, empty maildir; the full ones are
  // removed together after the last run, so that the deletion that the next
  // run has to wait for comes once per set instead of once per run.
  std::vector<std::string> maildirs;
  const std::string mpopNullRc =
      WriteMpopConfig(server->Dir() + "/mpoprc", server->Dir(), port, "mbox /dev/null");
  const std::string mpopNullTlsRc = WriteMpopConfig(
      server->Dir() + "/mpoprc-tls", server->Dir(), tlsPort, "mbox /dev/null", env.CaFile);
  if (!g_pelnorOnly) {
    for (const bool tls : {false, true}) {
      const std::string suffix = tls ? " TLS" : "";
      clients.emplace_back("mpop (maildir)" + suffix, true, [&, tls] {
        const std::string dir = env.WorkDir + "/maildir-" + std::to_string(maildirs.size() + 1);
        for (const char* sub : {"/cur", "/new", "/tmp"}) fs::create_directories(dir + sub);
        maildirs.push_back(dir);
        const std::string rc =
            WriteMpopConfig(env.WorkDir + "/mpoprc-maildir", env.WorkDir, tls ? tlsPort : port,
                            "maildir " + dir, tls ? env.CaFile : "");
        const Timing t = TimeProcess({"mpop", "--quiet", "-C", rc, "bench"});
        if (CountFiles(dir + "/new") + CountFiles(dir + "/cur") != set.Count) {
          std::fprintf(stderr, "mpop: %s does not hold %d mails\n", dir.c_str(), set.Count);
          std::exit(1);
        }
        return t;
      });
    }
    clients.emplace_back("mpop (no store)", false, [&] {
      return TimeProcess({"mpop", "--quiet", "-C", mpopNullRc, "bench"});
    });
    clients.emplace_back("mpop (no store) TLS", false, [&] {
      return TimeProcess({"mpop", "--quiet", "-C", mpopNullTlsRc, "bench"});
    });
    clients.emplace_back("poplib", false, [&] {
      return TimeProcess(
          {"python3", "-c", kPoplibScript, std::to_string(port), std::to_string(set.Count)});
    });
  }

  // PELNOR_BENCH_ONLY=TEXT keeps the clients whose name holds TEXT (for a
  // profiler run of one client).
  if (const char* only = std::getenv("PELNOR_BENCH_ONLY"))
    std::erase_if(clients, [&](const Client& c) { return c.Name.find(only) == std::string::npos; });
  RunAll(clients, runs, settle);

  if (!maildirs.empty()) {
    for (const std::string& dir : maildirs) fs::remove_all(dir);
    settle.Deleted();
  }
  server.reset();  // removes the server's mailbox too
  settle.Deleted();

  if (g_pelnorOnly) {
    for (const Client& c : clients)
      std::printf("%s: %s %.3f s wall, %.3f s cpu\n", set.Name, c.Name.c_str(), c.Best().Wall,
                  c.Best().Cpu);
    return;
  }
  int width = 8;
  for (const Client& c : clients) width = std::max(width, static_cast<int>(c.Name.size()));
  const double mb = bytes / 1e6;
  std::printf("\n%s: %d mails, %.1f MB in all (best of %d runs)\n", set.Name, set.Count, mb, runs);
  std::printf("%-*s %9s %9s %10s %9s %9s   %s\n", width, "client", "wall s", "cpu s", "msgs/s",
              "MB/s", "cpu MB/s", "wall s of each run, in order");
  for (const Client& c : clients) {
    const Timing t = c.Best();
    std::printf("%-*s %9.3f %9.3f %10.0f %9.1f %9.1f  ", width, c.Name.c_str(), t.Wall, t.Cpu,
                set.Count / t.Wall, mb / t.Wall, mb / t.Cpu);
    for (const Timing& run : c.Runs) std::printf(" %.3f", run.Wall);
    std::printf("\n");
  }
  auto isTls = [](const std::string& name) {
    return name.size() >= 4 && name.compare(name.size() - 4, 4, " TLS") == 0;
  };
  std::printf("TLS / plain text, wall and cpu (above 1: TLS is slower):\n");
  for (const Client& tls : clients) {
    const std::string& name = tls.Name;
    if (!isTls(name)) continue;
    for (const Client& plain : clients) {
      if (plain.Name != name.substr(0, name.size() - 4)) continue;
      std::printf("  %-*s %6.2fx wall, %6.2fx cpu\n", width, plain.Name.c_str(),
                  tls.Best().Wall / plain.Best().Wall, tls.Best().Cpu / plain.Best().Cpu);
    }
  }
  std::printf("other / pelnor (above 1: pelnor is faster), wall and cpu:\n");
  for (const Client& ours : clients) {
    if (ours.Name.rfind("pelnor", 0) != 0) continue;
    const Timing p = ours.Best();
    for (const Client& other : clients) {
      if (other.Name.rfind("pelnor", 0) == 0 || isTls(other.Name) != isTls(ours.Name)) continue;
      const Timing o = other.Best();
      std::printf("  %-*s / %-*s %6.2fx wall, %6.2fx cpu\n", width, other.Name.c_str(), width,
                  ours.Name.c_str(), o.Wall / p.Wall, o.Cpu / p.Cpu);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  pelnor::ShareOneHeapAcrossThreads();  // as the program does
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  // "pelnor" as second argument times our client alone (for profiling).
  g_pelnorOnly = argc > 2 && std::string(argv[2]) == "pelnor";
  if (pelnor::test::DovecotServer::BinaryPath().empty()) {
    std::fprintf(stderr, "pop3_bench: dovecot is not installed\n");
    return 1;
  }
  Environment env;
  env.TempDir = fs::temp_directory_path().string();
  std::string pattern = env.TempDir + "/pelnor-pop3-bench-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror("pop3_bench: mkdtemp");
    return 1;
  }
  env.WorkDir = pattern;
  pelnor::test::TestCertificates certificates(env.WorkDir);
  env.CaFile = certificates.CaFile();
  env.Certificate = certificates.Issue("dovecot", {});
  // Our client finds the test CA as every OpenSSL program does.
  pelnor::test::TrustTestCa trust(env.CaFile);
  std::string tmpfsNote;
  if (FsType("/dev/shm") == kTmpfsMagic) {
    std::string shm = "/dev/shm/pelnor-pop3-bench-XXXXXX";
    if (mkdtemp(shm.data()))
      env.TmpfsDir = shm;
    else
      tmpfsNote = "cannot make a directory there";
  } else {
    tmpfsNote = fs::exists("/dev/shm") ? "/dev/shm is not a tmpfs" : "no /dev/shm";
  }

  const char* settleEnv = std::getenv("PELNOR_BENCH_SETTLE");
  Settle settle(!(settleEnv && std::string(settleEnv) == "0"));

  std::printf("temp dir: %s (%s)\n", env.TempDir.c_str(), FsDescription(env.TempDir).c_str());
  if (!g_pelnorOnly) {
    if (env.TmpfsDir.empty())
      std::printf("tmpfs row: skipped (%s)\n", tmpfsNote.c_str());
    else
      std::printf("tmpfs row: TMPDIR=%s (%s)\n", env.TmpfsDir.c_str(),
                  FsDescription(env.TmpfsDir).c_str());
  }
  if (settle.On())
    std::printf(
        "settle: on; runs that create files in %s start %.0f s after the bench's last "
        "bulk deletion there, the other clients run meanwhile (PELNOR_BENCH_SETTLE=0: off)\n",
        env.TempDir.c_str(), Settle::kSeconds);
  else
    std::printf("settle: off (PELNOR_BENCH_SETTLE=0); runs follow deletions at once\n");
  std::fflush(stdout);

  // A third argument "small" or "big" runs that set alone.
  const std::string only = argc > 3 ? argv[3] : "";
  const auto start = Clock::now();
  if (only != "big") RunSet({"1000 mails of about 3 KB", 1000, 3 * 1024}, runs, env, settle);
  if (only != "small") RunSet({"20 mails of about 5 MB", 20, 5 * 1024 * 1024}, runs, env, settle);

  std::error_code ignored;
  fs::remove_all(env.WorkDir, ignored);
  if (!env.TmpfsDir.empty()) fs::remove_all(env.TmpfsDir, ignored);
  std::printf("\nsettle waits: %.1f s of %.1f s in all\n", settle.Waited(),
              std::chrono::duration<double>(Clock::now() - start).count());
  return 0;
}
