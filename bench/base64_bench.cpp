// Throughput of TBase64GroupDecoder::DecodeLine over a 3.7 MB attachment
// in 76-character lines (the common shape of a mailed file), counted in
// input bytes, once with the block decoder this machine picks and once
// with each block decoder forced.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "mime/body_base64.h"

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
  const auto lines = AttachmentLines(3700000, static_cast<std::size_t>(state.range(0)));
  std::vector<char> out(pelnor::TBase64GroupDecoder::MaxOutput(lines[0].size()));
  std::size_t input = 0;
  for (const auto& line : lines) input += line.size();
  for (auto _ : state) {
    pelnor::TBase64GroupDecoder decoder;
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

void BM_DecodeLine(benchmark::State& state) { RunDecode(state); }
BENCHMARK(BM_DecodeLine)->Arg(76)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
