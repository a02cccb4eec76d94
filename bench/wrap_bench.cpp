// Time to wrap one long body line to the text width of an A4 page at 600 dpi
// (4560 pixels), with WrapText and with the literal rule that measures every
// shorter candidate. The UTF-8 text mixes ASCII and Japanese; widths
// are fixed metrics (10 pixels an ASCII character, 20 any other), so the
// time is the wrapping's own plus a measurement proportional to its length,
// as on a real canvas.

#include <benchmark/benchmark.h>

#include <string>

#include "core/print/text_wrap.h"
#include "../tests/core/print/literal_wrap.h"

namespace {

constexpr int kWidth = 4560;

int Measure(std::string_view text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) continue;  // within a character
    width += c < 0x80 ? 10 : 20;
  }
  return width;
}

// "日本語のテキスト and some ASCII " repeated to `bytes`.
std::string Line(std::size_t bytes) {
  const std::string unit =
      "日本語のテキスト and some ASCII ";
  std::string s;
  while (s.size() + unit.size() <= bytes) s += unit;
  s.append(bytes - s.size(), 'x');
  return s;
}

void BM_WrapText(benchmark::State& state) {
  std::string line = Line(static_cast<std::size_t>(state.range(0)));
  pelnor::TextMeasure measure = Measure;
  std::size_t pieces = 0;
  for (auto _ : state) {
    auto result = pelnor::WrapText(line, kWidth, measure);
    pieces = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["pieces"] = static_cast<double>(pieces);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_LiteralRule(benchmark::State& state) {
  std::string line = Line(static_cast<std::size_t>(state.range(0)));
  pelnor::TextMeasure measure = Measure;
  std::size_t pieces = 0;
  for (auto _ : state) {
    auto result = pelnor::test::LiteralWrapText(line, kWidth, measure);
    pieces = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["pieces"] = static_cast<double>(pieces);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_WrapText)->Arg(10 << 10)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
// Cubic in the line length: 100 KB takes about a thousand times as long as
// 10 KB (minutes), so it runs once; 1 MB would take days and is left out.
BENCHMARK(BM_LiteralRule)->Arg(1 << 10)->Arg(10 << 10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralRule)->Arg(100 << 10)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
