#!/usr/bin/env bash
# Builds and runs every test: the normal build, the sanitizer build, the house-rule checks and
# a short run of each fuzz target. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
fuzz_seconds=${VELK_FUZZ_SECONDS:-60}
status=0
step() { echo; echo "=== $*"; }
fail() { echo "FAILED: $*"; status=1; }

bash scripts/setup-deps.sh || { echo "dependency set-up failed"; exit 1; }

step "house rules"
bash scripts/check-core.sh "$root" || fail "house rules"

step "normal build and tests"
if cmake -S . -B build -G Ninja -DVELK_WERROR=ON >/dev/null && cmake --build build -j "$jobs"; then
  # GUI tests need a display; xvfb-run gives them one.
  (cd build && xvfb-run -a ctest --output-on-failure -j "$jobs") 2>&1 | tee build/ctest.log
  [ "${PIPESTATUS[0]}" -eq 0 ] || fail "tests"
else
  fail "normal build"
fi

step "sanitizer build (ASan + UBSan) of the non-GUI tests"
if cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELK_SANITIZE=ON -DVELK_GUI=OFF -DVELK_WERROR=ON >/dev/null \
   && cmake --build build-asan -j "$jobs"; then
  (cd build-asan && ctest --output-on-failure -j "$jobs" -LE gui) || fail "sanitizer tests"
else
  fail "sanitizer build"
fi

step "fuzzing (${fuzz_seconds} s per target)"
if command -v clang++ >/dev/null; then
  if cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
       -DVELK_FUZZ=ON -DVELK_WERROR=ON -DVELK_GUI=OFF -DVELK_TESTS=OFF >/dev/null && cmake --build build-fuzz -j "$jobs"; then
    targets=$(cat build-fuzz/fuzz_targets.txt 2>/dev/null | tr ';' ' ')
    # Every fuzz executable the build made must be in the list, or it would never be fuzzed.
    bash scripts/check-fuzz-list.sh build-fuzz || fail "fuzz target list"
    pids=()
    for t in $targets; do
      corpus="fuzz/corpus/$t"
      mkdir -p "build-fuzz/work/$t" "build-fuzz/artifacts/$t" "build-fuzz/cwd/$t"
      # Each target runs in a folder of its own: files the code writes into the working folder
      # (the viewer's error log, say) stay in the build tree.
      ( cd "build-fuzz/cwd/$t" && "$root/build-fuzz/fuzz/fuzz_$t" "$root/build-fuzz/work/$t" "$root/$corpus" \
          -max_total_time="$fuzz_seconds" -artifact_prefix="$root/build-fuzz/artifacts/$t/" -print_final_stats=0 \
          >"$root/build-fuzz/$t.log" 2>&1 \
        && echo "fuzz $t: no finding" ) || { echo "fuzz $t: FINDING"; tail -40 "build-fuzz/$t.log"; exit 1; } &
      pids+=($!)
    done
    for p in "${pids[@]}"; do wait "$p" || fail "fuzzing"; done
  else
    fail "fuzz build"
  fi
else
  fail "clang++ missing"
fi

echo
if [ $status -eq 0 ]; then echo "ALL CHECKS PASSED"; else echo "SOME CHECKS FAILED"; fi
# The normal build's ctest summary closes the run.
grep -E '^[0-9]+% tests passed' build/ctest.log 2>/dev/null | tail -1
exit $status
