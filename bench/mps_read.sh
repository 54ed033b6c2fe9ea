#!/usr/bin/env bash
# MPS reading speed: the largest models of the shared sets read by runtarvo
# (--read-only), by clp (clp FILE -quit) and decompressed by zcat, side by
# side. Prints MB/s of uncompressed text, best of REPEAT runs each, and the
# ratios. Usage: bench/mps_read.sh [BUILD_DIR] (default build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
repeat="${REPEAT:-3}"
data="${TARVO_DATA_DIR:-$root/../shared/data}"
runtarvo="$build/tools/runtarvo/runtarvo"
[ -x "$runtarvo" ] || { echo "no runtarvo in $build (build it first)" >&2; exit 1; }
if ! command -v clp >/dev/null 2>&1; then
  (apt-get update -qq || true) && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq coinor-clp
fi

models="${MODELS:-miplib3/nw04 miplib3/fast0507 netlib/maros-r7 netlib/fit2d netlib/dfl001}"

source "$root/bench/timing.sh"

# "vs clp": clp time / runtarvo time (above 1: runtarvo is faster); "x zcat": runtarvo time / zcat time.
printf "%-10s %8s %14s %10s %10s %10s %11s\n" model "text MB" "runtarvo MB/s" "clp MB/s" "zcat MB/s" "vs clp" "x zcat"
for m in $models; do
  f="$data/$m.mps.gz"
  [ -f "$f" ] || { echo "missing $f" >&2; continue; }
  bytes=$(zcat "$f" | wc -c)
  mb=$(awk -v b="$bytes" 'BEGIN { printf "%.6f", b / 1e6 }')
  t_tarvo=$(best "$runtarvo" --read-only --mps-format fixed "$f")
  t_clp=$(best clp "$f" -quit)
  t_zcat=$(best sh -c "zcat '$f' > /dev/null")
  awk -v n="$(basename "$m")" -v mb="$mb" -v a="$t_tarvo" -v b="$t_clp" -v c="$t_zcat" 'BEGIN {
    printf "%-10s %8.1f %14.1f %10.1f %10.1f %10.2f %11.2f\n", n, mb, mb / a, mb / b, mb / c, b / a, a / c }'
done
