// A check cycle against a private Dovecot: what a check of a mailbox kept on
// the server costs once nothing is new, beside mpop's second run on the same
// server (only_new on, keep on); and how much memory the first check of a
// mailbox of large mails takes.
//
// Each check of ours runs in a process of its own (this program started
// again as "client"), so its peak RSS is its own: the check cycle with the
// real POP3 client, history, unique-id and log files, and a printer that
// only records what it is given. Bytes are what Dovecot logged as sent to
// the client after the login (out=), the same measure for both clients.
//
// Usage: cycle_bench [runs [sets]]   (best of `runs`, default 3; sets: any
//        of "small", "10k", "5mb", "first", comma-separated; default all)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench_client.h"
#include "big_mail.h"
#include "child_run.h"
#include "core/pop3/heap_policy.h"
#include "support/dovecot_fixture.h"
#include "support/files.h"
#include "support/test_mails.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One run of a client, as seen from outside and (ours) from inside.
struct Run {
  double Wall = 0;     // the process, start-up included
  double Cpu = 0;      // user + system
  long PeakKb = 0;     // ru_maxrss
  double Cycle = 0;    // ours: the check cycle alone
  long IdleKb = 0;     // ours: RSS before the cycle
  long Out = -1;       // bytes Dovecot sent after the login
  std::string Session; // Dovecot's logout line
};

std::string SelfPath() { return fs::read_symlink("/proc/self/exe").string(); }

Run RunProcess(const std::vector<std::string>& argv) {
  const pelnor::bench::ChildRun child = pelnor::bench::RunToEnd(argv);
  Run run;
  run.Wall = child.Wall;
  run.Cpu = child.Cpu;
  run.PeakKb = child.PeakKb;
  return run;
}

// The last session line of Dovecot's log, and its out= figure.
void ReadSession(const pelnor::test::DovecotServer& server, Run& run) {
  std::istringstream log(server.LogText());
  for (std::string line; std::getline(log, line);)
    if (line.find("Logged out") != std::string::npos) run.Session = line.substr(line.find("top="));
  const std::size_t out = run.Session.find("out=");
  run.Out = out == std::string::npos ? -1 : std::atol(run.Session.c_str() + out + 4);
}

// The bytes of Dovecot's answer to UIDL for this mailbox, status line and
// terminator included: the least a client that asks for it must receive.
long ListingBytes(int port) {
  const std::string script =
      "import socket,sys\n"
      "s=socket.create_connection(('127.0.0.1'," + std::to_string(port) + "))\n"
      "f=s.makefile('rb')\n"
      "f.readline()\n"
      "s.sendall(b'USER bench\\r\\n');f.readline()\n"
      "s.sendall(b'PASS pw\\r\\n');f.readline()\n"
      "s.sendall(b'UIDL\\r\\n')\n"
      "n=0\n"
      "while True:\n"
      "  l=f.readline();n+=len(l)\n"
      "  if l==b'.\\r\\n':break\n"
      "s.sendall(b'QUIT\\r\\n');f.readline()\n"
      "open(sys.argv[1],'w').write(str(n))\n";
  const fs::path out = fs::temp_directory_path() / ("cycle-bench-listing-" + std::to_string(getpid()));
  const pid_t pid = fork();
  if (pid == 0) {
    execlp("python3", "python3", "-c", script.c_str(), out.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const long bytes = std::atol(pelnor::test::ReadBytesIfExists(out).c_str());
  fs::remove(out);
  return bytes;
}

std::string TextMail(int n, std::size_t bytes) {
  std::vector<std::string> body;
  for (std::size_t size = 600; size < bytes; size += 70)
    body.push_back("お世話になっております。打ち合わせの件でご連絡いたします。");
  return pelnor::test::JapaneseMail("山田太郎", "yamada@example.jp",
                                    "打ち合わせの件 No." + std::to_string(n), body);
}

using pelnor::bench::BigMail;

struct MailSet {
  const char* Key;
  const char* Name;
  int Count;
  std::size_t Bytes;
};

class Bench {
 public:
  Bench(const MailSet& set, const std::string& work) : set_(set), work_(work) {
    server_.AddUser("bench", "pw");
    for (int n = 1; n <= set.Count; ++n) {
      const std::string mail = set.Bytes > 100000 ? BigMail(n, set.Bytes) : TextMail(n, set.Bytes);
      largest_ = std::max(largest_, mail.size());
      server_.Deliver("bench", mail);
    }
    server_.Start();
  }

  // One check of ours in its own process, on the program directory `dir`.
  Run Pelnor(const std::string& dir, const std::string& record) {
    const std::string result = dir + "/result";
    Run run = RunProcess({SelfPath(), "client", std::to_string(server_.Port()), dir, record, result});
    std::istringstream in(pelnor::test::ReadBytes(result));
    in >> run.IdleKb >> run.Cycle;
    ReadSession(server_, run);
    return run;
  }

  Run Mpop(const std::string& rc) {
    Run run = RunProcess({"/usr/bin/mpop", "--quiet", "-C", rc, "bench"});
    ReadSession(server_, run);
    return run;
  }

  std::string MpopConfig(const std::string& dir) const {
    const std::string path = dir + "/mpoprc";
    std::ofstream out(path);
    out << "defaults\ntls off\nauth user\nkeep on\nonly_new on\n"
        << "uidls_file " << dir << "/mpop-uidls\n"
        << "delivery mbox /dev/null\n"
        << "account bench\nhost 127.0.0.1\nport " << server_.Port() << "\n"
        << "user bench\npassword pw\n";
    out.close();
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    return path;
  }

  int Port() const { return server_.Port(); }
  std::size_t Largest() const { return largest_; }
  const pelnor::test::DovecotServer& Server() const { return server_; }

 private:
  MailSet set_;
  std::string work_;
  pelnor::test::DovecotServer server_;
  std::size_t largest_ = 0;
};

// The program directory of one account, made afresh.
std::string FreshDir(const std::string& work, const std::string& name) {
  const std::string dir = work + "/" + name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

const Run& Best(const std::vector<Run>& runs) {
  return *std::min_element(runs.begin(), runs.end(),
                           [](const Run& a, const Run& b) { return a.Wall < b.Wall; });
}

void PrintRun(const char* who, const Run& r) {
  std::printf("  %-22s wall %7.3f s  cpu %6.3f s  peak %7.1f MB", who, r.Wall, r.Cpu,
              r.PeakKb / 1024.0);
  if (r.Cycle > 0) std::printf("  cycle %7.3f s  idle %5.1f MB", r.Cycle, r.IdleKb / 1024.0);
  std::printf("  out %ld B\n    %s\n", r.Out, r.Session.c_str());
}

// A mailbox kept on the server in which the sender filter wants nothing:
// after one check that learns it, every check finds nothing new.
void Unchanged(const MailSet& set, int runs, const std::string& work) {
  Bench bench(set, work);
  const long listing = ListingBytes(bench.Port());
  const std::string dir = FreshDir(work, std::string("pelnor-") + set.Key);
  const std::string record =
      "bench|1|127.0.0.1|bench|pw|0|0|Gothic|[]|10|1||1|1|1|nobody@example.jp";
  const Run first = bench.Pelnor(dir, record);
  const std::string mpopDir = FreshDir(work, std::string("mpop-") + set.Key);
  const std::string rc = bench.MpopConfig(mpopDir);
  const Run mpopFirst = bench.Mpop(rc);

  std::vector<Run> ours, theirs;
  for (int i = 0; i < runs; ++i) {
    ours.push_back(bench.Pelnor(dir, record));
    theirs.push_back(bench.Mpop(rc));
  }
  const Run& p = Best(ours);
  const Run& m = Best(theirs);
  std::printf("\n%s: %d mails, largest %.1f KB; UIDL listing %ld B\n", set.Name, set.Count,
              bench.Largest() / 1024.0, listing);
  PrintRun("pelnor first check", first);
  PrintRun("mpop first run", mpopFirst);
  for (const Run& r : ours) PrintRun("pelnor unchanged", r);
  for (const Run& r : theirs) PrintRun("mpop second run", r);
  std::printf("  best: pelnor %.3f s (cycle %.3f s), mpop %.3f s: mpop / pelnor %.2fx "
              "(process), %.2fx (cycle)\n",
              p.Wall, p.Cycle, m.Wall, m.Wall / p.Wall, m.Wall / p.Cycle);
  std::printf("  bytes: pelnor %ld, mpop %ld, listing %ld; pelnor - listing = %ld B "
              "(target <= 1024)\n",
              p.Out, m.Out, listing, p.Out - listing);
  std::printf("  peak RSS: pelnor %.1f MB, mpop %.1f MB\n", p.PeakKb / 1024.0,
              m.PeakKb / 1024.0);
}

// The first check of a mailbox of large mails: every mail fetched, decoded
// and printed, one at a time.
void FirstFetch(const MailSet& set, int runs, const std::string& work) {
  Bench bench(set, work);
  const std::string record = "bench|1|127.0.0.1|bench|pw|0|0|Gothic|[]|10|1||1|1|0";
  std::vector<Run> ours;
  for (int i = 0; i < runs; ++i) {
    const std::string dir = FreshDir(work, std::string("pelnor-") + set.Key);
    ours.push_back(bench.Pelnor(dir, record));
    const std::string log = pelnor::test::ReadBytesIfExists(dir + "/Log.txt");
    int printed = 0;
    for (std::size_t at = 0; (at = log.find("\r\n", at)) != std::string::npos; at += 2) ++printed;
    if (printed != set.Count) {
      std::fprintf(stderr, "first fetch: %d log lines, %d mails\n%s", printed, set.Count,
                   log.c_str());
      std::exit(1);
    }
  }
  std::printf("\n%s: %d mails, largest %.1f MB, first check\n", set.Name, set.Count,
              bench.Largest() / 1048576.0);
  long worst = 0;
  for (const Run& r : ours) {
    PrintRun("pelnor first check", r);
    worst = std::max(worst, r.PeakKb - r.IdleKb);
  }
  const double largestMb = bench.Largest() / 1048576.0;
  std::printf("  peak above idle: at most %.1f MB = %.2f x the largest mail (target <= 3)\n",
              worst / 1024.0, worst / 1024.0 / largestMb);
}

bool Wanted(const std::string& sets, const char* key) {
  return sets == "all" || ("," + sets + ",").find(std::string(",") + key + ",") != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  pelnor::ShareOneHeapAcrossThreads();  // as the program does
  if (argc > 1 && std::string(argv[1]) == "client") return RunClientCheck(argc - 1, argv + 1);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  const std::string sets = argc > 2 ? argv[2] : "all";
  if (pelnor::test::DovecotServer::BinaryPath().empty()) {
    std::fprintf(stderr, "cycle_bench: dovecot is not installed\n");
    return 1;
  }
  std::string work = (fs::temp_directory_path() / "pelnor-cycle-bench-XXXXXX").string();
  if (!mkdtemp(work.data())) {
    std::perror("cycle_bench: mkdtemp");
    return 1;
  }
  const MailSet kSets[] = {
      {"small", "1000 mails of about 3 KB, kept on the server", 1000, 3 * 1024},
      {"10k", "10000 mails of about 3 KB, kept on the server", 10000, 3 * 1024},
      {"5mb", "20 mails of about 5 MB, kept on the server", 20, 5 * 1024 * 1024},
  };
  for (const MailSet& set : kSets)
    if (Wanted(sets, set.Key)) Unchanged(set, runs, work);
  if (Wanted(sets, "first"))
    FirstFetch({"first", "20 mails of about 20 MB", 20, 20 * 1024 * 1024}, runs, work);
  fs::remove_all(work);
  return 0;
}
