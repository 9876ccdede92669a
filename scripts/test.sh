#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test; then the unit tests again under ASan + UBSan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
jobs="${NIMBARO_JOBS:-$(nproc)}"

bash scripts/build.sh "$root/build"
(cd build && ctest --output-on-failure -j "$jobs" --timeout 600)

if [ "${NIMBARO_SKIP_SANITIZERS:-0}" != "1" ]; then
  bash scripts/build.sh "$root/build-asan" -DNIMBARO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  (cd build-asan && ctest --output-on-failure -j "$jobs" -L unit --timeout 600)
fi
echo "all tests passed"
