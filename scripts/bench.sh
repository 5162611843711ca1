#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every one of them with its reference in the same run:
# five repetitions each, their medians printed. Benchmarks that draw run under xvfb-run; the
# ones with a numpy reference run through their Python drivers, which print ours and numpy's
# medians side by side. Results (Google Benchmark's JSON) go to build-bench/results/.
#
#   bash scripts/bench.sh            every benchmark
#   bash scripts/bench.sh fft spac   only those named
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup-deps.sh || { echo "dependency set-up failed"; exit 1; }
extra=()
for p in libfftw3-dev python3-numpy; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || extra+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#extra[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${extra[@]}"
fi

cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DVELK_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null \
  && cmake --build build-bench -j "$(nproc)" || { echo "benchmark build failed"; exit 1; }

# name: how it runs (plain; x: needs a display; py: the numpy driver bench/<name>.py runs it;
# fft: the numpy driver, which prints the table against FFTW and the one against numpy)
all=(seg2_read:plain fft:fft bandpass:py batch_bandpass:plain align:plain agc:plain correlation:plain
     resampling:plain velocity_filters:plain auto_pick:plain raytrace:plain modelling:plain
     phase_shift:py spac:py cmp_dispersion:plain archive:plain
     record_draw:x contour_draw:x nordalis_draw:x)
wanted=("$@")
mkdir -p build-bench/results
echo "Benchmarks of $(date -u +%Y-%m-%d) on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
for entry in "${all[@]}"; do
  name=${entry%%:*}; how=${entry#*:}
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " == *" $name "* ]]; then continue; fi
  program="$root/build-bench/bench/$name"
  [ -x "$program" ] || { echo "== $name: not built"; continue; }
  echo; echo "== $name"
  args=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true
        --benchmark_out="$root/build-bench/results/$name.json" --benchmark_out_format=json)
  case $how in
    x)  xvfb-run -a "$program" "${args[@]}" | grep -E '_median|^-|^Benchmark' || status=1 ;;
    fft) (cd bench && /usr/bin/python3 fft.py "$program") || status=1 ;;
    py) (cd bench && /usr/bin/python3 "$name.py" "$program") || status=1 ;;
    *)  "$program" "${args[@]}" | grep -E '_median|^-|^Benchmark' || status=1 ;;
  esac
done
exit $status
