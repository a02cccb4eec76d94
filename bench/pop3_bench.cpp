// Full retrieval of a Dovecot mailbox: TVekPOP (fetch, spool, unstuff and
// decode, as RetrieveAll does for the check cycle) beside mpop and Python's
// poplib, run one after another against the same server and mailbox.
//
// Usage: pop3_bench [runs [all|pelnor [small|big]]]   (best of `runs`, default 3)

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "dovecot_fixture.h"
#include "pop3/VekPOP3.h"
#include "test_mails.h"

namespace {

using namespace pelnor;
using Clock = std::chrono::steady_clock;

struct TTiming {
  double Wall = 0;    // seconds
  double Cpu = 0;     // user + system seconds of the client
  double Decode = 0;  // wall seconds from a message's last byte to its parsed form
};

struct TMailSet {
  const char* Name;
  int Count;
  std::size_t Bytes;  // approximate size of one mail
};

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

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

// A mail whose bulk is one base64 attachment, the usual shape of a big mail.
std::string BigMail(int n, std::size_t bytes) {
  std::mt19937 random(n);
  std::string data(bytes * 3 / 4, '\0');
  for (char& c : data) c = static_cast<char>(random());
  return pelnor::test::MailWithAttachment("図面の送付 " + std::to_string(n),
                                          "図面を送ります。ご確認ください。", "図面.pdf", data);
}

TTiming TimePelnor(int port, int count, std::size_t& bytesSeen) {
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = Clock::now();
  TVekPOP pop;
  pop.Host = "127.0.0.1";
  pop.Port = std::to_string(port);
  pop.UserId = "bench";
  pop.Passwd = "pw";
  // The final progress report fires when the terminator is in; the after-
  // retrieve event once the message is parsed and decoded.
  Clock::time_point arrived{};
  double decode = 0;
  pop.RetrieveProgressStep = 1;  // the last report then falls on the last read
  pop.OnRetrieveProgress = [&](TVekPOP&, std::uint16_t) { arrived = Clock::now(); };
  pop.OnAfterRetrieve = [&](TVekPOP&) {
    decode += std::chrono::duration<double>(Clock::now() - arrived).count();
  };
  pop.Connect();
  if (pop.Failed() || !pop.Login()) {
    std::fprintf(stderr, "pelnor: cannot log in (%s)\n", pop.ConnectError().c_str());
    std::exit(1);
  }
  pop.CountNewMessages();
  TVekMsgList list;
  const int got = pop.RetrieveAll(list);
  pop.Quit();
  TTiming t;
  t.Wall = std::chrono::duration<double>(Clock::now() - start).count();
  getrusage(RUSAGE_SELF, &after);
  t.Cpu = CpuOf(after) - CpuOf(before);
  t.Decode = decode;
  if (got != count) {
    std::fprintf(stderr, "pelnor: fetched %d of %d\n", got, count);
    std::exit(1);
  }
  bytesSeen = 0;
  for (int i = 0; i < list.Count(); ++i) bytesSeen += list.Items(i).Size;
  return t;
}

// Runs a program to completion; its wall and processor time.
TTiming TimeProcess(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  TTiming t;
  t.Wall = std::chrono::duration<double>(Clock::now() - start).count();
  t.Cpu = CpuOf(usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", argv[0].c_str(), status);
    std::exit(1);
  }
  return t;
}

std::string WriteMpopConfig(const std::string& dir, int port) {
  const std::string path = dir + "/mpoprc";
  std::ofstream out(path);
  out << "defaults\n"
      << "tls off\n"
      << "auth user\n"
      << "keep on\n"
      << "only_new off\n"
      << "uidls_file " << dir << "/mpop-uidls\n"
      // Delivery to /dev/null: mpop is timed on the protocol, not on its disk.
      << "delivery mbox /dev/null\n"
      << "account bench\n"
      << "host 127.0.0.1\n"
      << "port " << port << "\n"
      << "user bench\n"
      << "password pw\n";
  out.close();
  chmod(path.c_str(), 0600);
  return path;
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

TTiming Best(int runs, const std::function<TTiming()>& run) {
  TTiming best{1e9, 1e9};
  for (int i = 0; i < runs; ++i) {
    const TTiming t = run();
    if (t.Wall < best.Wall) best.Wall = t.Wall;
    if (t.Cpu < best.Cpu) best.Cpu = t.Cpu;
    if (t.Wall <= best.Wall) best.Decode = t.Decode;
  }
  return best;
}

bool g_pelnorOnly = false;

void RunSet(const TMailSet& set, int runs) {
  pelnor::test::TDovecotServer server;
  server.AddUser("bench", "pw");
  for (int n = 1; n <= set.Count; ++n)
    server.Deliver("bench", set.Bytes > 100000 ? BigMail(n, set.Bytes) : TextMail(n, set.Bytes));
  server.Start();
  const int port = server.Port();
  const std::string mpoprc = WriteMpopConfig(server.Dir(), port);

  std::size_t bytes = 0;
  const TTiming pelnor = Best(runs, [&] { return TimePelnor(port, set.Count, bytes); });
  if (g_pelnorOnly) {
    std::printf("%s: pelnor %.3f s wall, %.3f s cpu\n", set.Name, pelnor.Wall, pelnor.Cpu);
    return;
  }
  const TTiming mpop = Best(runs, [&] {
    return TimeProcess({"mpop", "--quiet", "-C", mpoprc, "bench"});
  });
  const TTiming poplib = Best(runs, [&] {
    return TimeProcess({"python3", "-c", kPoplibScript, std::to_string(port), std::to_string(set.Count)});
  });

  const double mb = bytes / 1e6;
  std::printf("\n%s: %d mails, %.1f MB in all (best of %d runs)\n", set.Name, set.Count, mb, runs);
  std::printf("%-8s %9s %9s %10s %9s %9s\n", "client", "wall s", "cpu s", "msgs/s", "MB/s", "cpu MB/s");
  auto row = [&](const char* name, const TTiming& t) {
    std::printf("%-8s %9.3f %9.3f %10.0f %9.1f %9.1f\n", name, t.Wall, t.Cpu, set.Count / t.Wall,
                mb / t.Wall, mb / t.Cpu);
  };
  row("pelnor", pelnor);
  std::printf("         (of which %.3f s splitting, parsing and decoding after the last byte)\n",
              pelnor.Decode);
  row("mpop", mpop);
  row("poplib", poplib);
  std::printf("pelnor / poplib: %.2fx wall, %.2fx cpu\n", poplib.Wall / pelnor.Wall,
              poplib.Cpu / pelnor.Cpu);
  std::printf("pelnor / mpop:   %.2fx wall, %.2fx cpu\n", mpop.Wall / pelnor.Wall,
              mpop.Cpu / pelnor.Cpu);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
  // "pelnor" as second argument times our client alone (for profiling).
  g_pelnorOnly = argc > 2 && std::string(argv[2]) == "pelnor";
  if (pelnor::test::TDovecotServer::BinaryPath().empty()) {
    std::fprintf(stderr, "pop3_bench: dovecot is not installed\n");
    return 1;
  }
  // A third argument "small" or "big" runs that set alone.
  const std::string only = argc > 3 ? argv[3] : "";
  if (only != "big") RunSet({"1000 mails of about 3 KB", 1000, 3 * 1024}, runs);
  if (only != "small") RunSet({"20 mails of about 5 MB", 20, 5 * 1024 * 1024}, runs);
  return 0;
}
