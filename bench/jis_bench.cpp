// Converts 20 MB of generated ISO-2022-JP mail text to Shift_JIS and puts
// the speed beside iconv and nkf on the same file.
//
//   jis_bench [megabytes] [runs]
//
// Each converter runs `runs` times; the best time counts, since the machine
// may be busy with other work. The external tools are timed as whole
// processes reading the file and writing to /dev/null, start-up included.
// Set JIS_BENCH_KEEP to keep the generated file and the tools' output.

#include "core/text/japanese_code.h"
#include "support/files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Mail-like lines: runs of hiragana, kanji, katakana and punctuation in
// two-byte mode between ASCII words and numbers.
class JisTextMaker {
 public:
  std::string Make(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) AppendLine(text);
    return text;
  }

 private:
  int Roll(int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng_);
  }

  void AppendLine(std::string& text) {
    if (Roll(0, 9) == 0) {  // blank line between paragraphs
      text += "\r\n";
      return;
    }
    const int width = Roll(20, 76);
    std::size_t start = text.size();
    while (text.size() - start < static_cast<std::size_t>(width)) {
      if (Roll(0, 3) == 0) {
        AppendAscii(text);
      } else {
        AppendJapanese(text);
      }
    }
    text += "\r\n";
  }

  void AppendAscii(std::string& text) {
    static const char* const kWords[] = {
        "PDF", "2026", "OK", "mail", "http://example.jp/", "10:30", "(", ")",
        "Re:", "A4", "3", "CD-ROM", "ID", "user@example.co.jp", " ", ", "};
    text += kWords[Roll(0, std::size(kWords) - 1)];
  }

  void AppendJapanese(std::string& text) {
    text += "\x1B$B";
    const int count = Roll(2, 18);
    for (int i = 0; i < count; ++i) AppendChar(text);
    text += "\x1B(B";
  }

  void AppendChar(std::string& text) {
    const int kind = Roll(0, 99);
    int row = 0;
    int cell = 0;
    if (kind < 50) {
      row = 4, cell = Roll(1, 83);  // hiragana
    } else if (kind < 85) {
      row = Roll(16, 47), cell = Roll(1, row == 47 ? 51 : 94);  // kanji
    } else if (kind < 95) {
      row = 5, cell = Roll(1, 86);  // katakana
    } else {
      row = 1, cell = Roll(1, 30);  // punctuation
    }
    text += static_cast<char>(0x20 + row);
    text += static_cast<char>(0x20 + cell);
  }

  std::mt19937 rng_{20261208};
};

// Wall time and processor time (this process plus waited-for children), so
// that a machine shared with other work can still be read fairly.
struct Timing {
  double wall = 1e30;
  double cpu = 1e30;
};

double CpuSeconds() {
  timespec self{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &self);
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  auto seconds = [](const timeval& tv) { return tv.tv_sec + tv.tv_usec / 1e6; };
  return self.tv_sec + self.tv_nsec / 1e9 + seconds(children.ru_utime) +
         seconds(children.ru_stime);
}

// Best of `runs`, separately for wall and processor time.
Timing Best(int runs, const std::function<void()>& work) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    const double cpuStart = CpuSeconds();
    const auto start = Clock::now();
    work();
    best.wall = std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
    best.cpu = std::min(best.cpu, CpuSeconds() - cpuStart);
  }
  return best;
}

struct External {
  const char* name;
  std::string command;  // reads standard input, writes standard output
  fs::path output;
};

void Report(const char* name, const Timing& t, double megabytes, const Timing* ours) {
  std::printf("%-31s wall %7.1f ms %7.1f MB/s | cpu %7.1f ms %7.1f MB/s", name, t.wall * 1e3,
              megabytes / t.wall, t.cpu * 1e3, megabytes / t.cpu);
  if (ours) std::printf(" | ratio wall %.2fx cpu %.2fx", t.wall / ours->wall, t.cpu / ours->cpu);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 20.0;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::string jis = JisTextMaker().Make(static_cast<std::size_t>(megabytes * 1e6));
  const double mb = jis.size() / 1e6;

  const fs::path dir = fs::temp_directory_path() / ("jis_bench." + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path input = dir / "input.jis";
  pelnor::test::WriteBytes(input, jis);

  std::string sjis;
  const Timing ours = Best(runs, [&] { sjis = pelnor::JisToSjis(jis); });
  std::printf("input: %.2f MB of ISO-2022-JP, best of %d runs; ratio = time of the tool / ours\n",
              mb, runs);
  Report("pelnor JisToSjis", ours, mb, nullptr);

  const External tools[] = {
      {"iconv -f ISO-2022-JP -t CP932", "iconv -f ISO-2022-JP -t CP932", dir / "iconv.sjis"},
      {"nkf -s", "nkf -s", dir / "nkf.sjis"},
  };
  for (const External& tool : tools) {
    // Timed runs write to /dev/null; one more run keeps the output to compare.
    const std::string base = tool.command + " < '" + input.string() + "'";
    const std::string timed = base + " > /dev/null";
    const std::string kept = base + " > '" + tool.output.string() + "'";
    int status = 0;
    const Timing timing = Best(runs, [&] { status = std::system(timed.c_str()); });
    if (status != 0 || std::system(kept.c_str()) != 0) {
      std::printf("%-31s failed (status %d)\n", tool.name, status);
      continue;
    }
    Report(tool.name, timing, mb, &ours);
    std::printf("%-31s output %s ours\n", "", pelnor::test::ReadBytes(tool.output) == sjis ? "equals" : "DIFFERS from");
  }
  if (!std::getenv("JIS_BENCH_KEEP")) fs::remove_all(dir);
  return 0;
}
