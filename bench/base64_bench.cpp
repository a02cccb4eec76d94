// Throughput of Base64GroupDecoder::DecodeLine over a 3.7 MB attachment
// in 76-character lines (the common shape of a mailed file), counted in
// input bytes, once with the block decoder this machine picks and once
// with each block decoder forced.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "core/mime/body_base64.h"

namespace {

std::vector<std::string> AttachmentLines(std::size_t bytes, std::size_t width) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::mt19937 rng(7);
  std::vector<std::string> lines;
  for (std::size_t total = 0; total < bytes; total += width) {
    std::string line(width, 'A');
    for (char& c : line) c = kAlphabet[rng() % 64];
    lines.push_back(std::move(line));
  }
  return lines;
}

void RunDecode(benchmark::State& state) {
  const auto lines = AttachmentLines(static_cast<std::size_t>(state.range(1)),
                                      static_cast<std::size_t>(state.range(0)));
  std::vector<char> out(pelnor::Base64GroupDecoder::MaxOutput(lines[0].size()));
  std::size_t input = 0;
  for (const auto& line : lines) input += line.size();
  for (auto _ : state) {
    pelnor::Base64GroupDecoder decoder;
    std::size_t written = 0;
    for (const auto& line : lines) {
      std::size_t groups = 0;
      written += decoder.DecodeLine(line, out.data(), groups);
    }
    benchmark::DoNotOptimize(written);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input));
}

using pelnor::Base64GroupDecoder;
using EBlock = Base64GroupDecoder::EBlockDecoder;

// 76-character lines; the whole attachment, and a tenth of it that stays in
// the cache.
void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({76, 3700000})->Args({76, 300000})->Unit(benchmark::kMillisecond);
}

void BM_DecodeLine(benchmark::State& state) {
  Base64GroupDecoder::UseBlockDecoder(Base64GroupDecoder::BestBlockDecoder());
  RunDecode(state);
}
BENCHMARK(BM_DecodeLine)->Apply(Sizes);

void BM_DecodeLineWith(benchmark::State& state, EBlock kind) {
  if (!Base64GroupDecoder::Supports(kind)) {
    state.SkipWithError("not supported on this machine");
    return;
  }
  Base64GroupDecoder::UseBlockDecoder(kind);
  RunDecode(state);
  Base64GroupDecoder::UseBlockDecoder(Base64GroupDecoder::BestBlockDecoder());
}
BENCHMARK_CAPTURE(BM_DecodeLineWith, scalar, EBlock::Scalar)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_DecodeLineWith, sse2, EBlock::Sse2)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_DecodeLineWith, ssse3, EBlock::Ssse3)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_DecodeLineWith, avx2, EBlock::Avx2)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
