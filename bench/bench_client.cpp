#include "bench_client.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "core/check/check_cycle.h"
#include "core/check/pop3_check_client.h"
#include "support/recording_canvas.h"

namespace {

using namespace pelnor;

struct QuietTray : CheckTray {
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }
  bool Animating() const override { return animating; }
  void StartAnimation() override { animating = true; }
  void StopAnimation() override { animating = false; }
  void Notify(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void SetTip(const std::string& text) override { tip = text; }
  bool enabled = true;
  bool animating = false;
  std::string tip;
};

struct QuietTimer : CheckTimer {
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }
  bool enabled = true;
};

long RssKb(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(line.find(':') + 1));
  return -1;
}

}  // namespace

int RunClientCheck(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: client PORT DIR RECORD RESULT\n");
    return 2;
  }
  const std::string port = argv[1];
  const std::string dir = std::string(argv[2]) + "/";
  LocalClock clock;
  CommLog log(dir + "Log.txt", clock, [] { return true; });
  test::RecordingCanvas canvas;
  MessagePrinter printer(canvas, log, clock, dir);
  AccountList accounts;
  accounts.Add(argv[3]);
  QuietTray tray;
  QuietTimer timer;
  CheckCycle cycle(accounts, dir, canvas, printer, log, tray, timer,
                   [&port] { return std::make_unique<Pop3SessionClient>(nullptr, port); });

  const long idleKb = RssKb("VmRSS:");
  const auto start = std::chrono::steady_clock::now();
  cycle.RunCheckCycle();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (tray.tip.find("Pelnor") == std::string::npos || tray.tip.size() > 20) {
    std::fprintf(stderr, "the check failed: %s\n", tray.tip.c_str());
    return 1;
  }
  std::ofstream(argv[4]) << idleKb << " " << seconds << "\n";
  return 0;
}
