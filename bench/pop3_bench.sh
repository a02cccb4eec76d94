#!/usr/bin/env bash
# Builds and runs the POP3 retrieval benchmark: Pop3Session, mpop and Python's
# poplib against one private Dovecot on 127.0.0.1 (started and stopped by the
# benchmark itself). Usage: bench/pop3_bench.sh [runs]
# PELNOR_BENCH_SETTLE=0 starts file-creating runs without waiting for the
# previous bulk deletion in the temp dir to age (see pop3_bench.cpp).
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in mpop python3 /usr/sbin/dovecot; do
  command -v "$tool" >/dev/null || { echo "pop3_bench: $tool is missing (scripts/setup)" >&2; exit 1; }
done
cmake -S . -B build/pop3-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DPELNOR_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build/pop3-bench --target pop3_bench >/dev/null
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
build/pop3-bench/bench/pop3_bench "${1:-3}"
