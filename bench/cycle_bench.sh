#!/usr/bin/env bash
# Builds and runs the check-cycle benchmark: a check of mailboxes kept on a
# private Dovecot on 127.0.0.1 beside mpop's second run, and the memory of a
# first check of large mails. Usage: bench/cycle_bench.sh [runs [sets]]
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in mpop python3 /usr/sbin/dovecot; do
  command -v "$tool" >/dev/null || { echo "cycle_bench: $tool is missing (scripts/setup)" >&2; exit 1; }
done
cmake -S . -B build/pop3-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DPELNOR_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build/pop3-bench --target cycle_bench -j2 >/dev/null
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
build/pop3-bench/bench/cycle_bench "${1:-3}" "${2:-all}"
