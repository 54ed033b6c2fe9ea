#!/usr/bin/env bash
# LP-format reading speed: large generated LP files read by runtarvo
# (--read-only), by glpsol (--check: read and check, no solve) and by the
# HiGHS command line (--time_limit 0: read, then stop at once; its time is an
# upper bound of its reading time), side by side. Prints MB/s, best of REPEAT
# runs each, and the ratios (above 1: runtarvo is faster). A second table
# times writing the same model back as LP text (runtarvo --write-lp against
# glpsol --wlp), each as the extra time over its read-only run.
# Usage: bench/lp_read.sh [BUILD_DIR] (default build); SIZES="rows ..." to choose.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
repeat="${REPEAT:-3}"
sizes="${SIZES:-50000 200000}"
highs="${HIGHS:-$root/../shared/tools/highs}"
[ -x "$highs" ] || highs=/work/shared/tools/highs
runtarvo="$build/tools/runtarvo/runtarvo"
[ -x "$runtarvo" ] || { echo "no runtarvo in $build (build it first)" >&2; exit 1; }
if ! command -v glpsol >/dev/null 2>&1; then
  (apt-get update -qq || true) && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq glpk-utils
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A feasible sparse LP with `rows` rows and as many columns, 8 distinct terms a row,
# an objective over every column, bounds on a third of the columns and a
# general-integer section; numbers in the forms writers produce.
generate() {
  awk -v rows="$1" 'BEGIN {
    srand(7); n = rows;
    print "\\ generated for the reading benchmark"; print "Minimize"; printf " obj:";
    for (j = 1; j <= n; j++) { printf " + %.6g x%d", 1 + int(rand() * 1000) / 100, j; if (j % 10 == 0) printf "\n"; }
    print ""; print "Subject To";
    for (i = 1; i <= rows; i++) {
      printf " c%d:", i;
      base = int(rand() * n); for (k = 0; k < 8; k++) { j = 1 + (base + k * int(n / 8)) % n; printf " %s %.6g x%d", (rand() < 0.3 ? "-" : "+"), 0.5 + int(rand() * 1e4) / 1e3, j; }
      printf " >= %.6g\n", -int(rand() * 100);
    }
    print "Bounds";
    for (j = 1; j <= n; j += 3) printf " 0 <= x%d <= %.6g\n", j, 10 + int(rand() * 90);
    print "Generals"; for (j = 2; j <= n; j += 50) printf " x%d\n", j;
    print "End" }'
}

source "$root/bench/timing.sh"
allow_fail=1
writes=""

printf "%-8s %8s %14s %12s %12s %10s %10s\n" rows "text MB" "runtarvo MB/s" "glpsol MB/s" "HiGHS MB/s" "vs glpsol" "vs HiGHS"
for rows in $sizes; do
  f="$work/gen$rows.lp"
  generate "$rows" > "$f"
  "$runtarvo" --read-only "$f" >/dev/null || { echo "runtarvo cannot read $f" >&2; exit 1; }
  mb=$(awk -v b="$(wc -c < "$f")" 'BEGIN { printf "%.6f", b / 1e6 }')
  t_tarvo=$(best "$runtarvo" --read-only "$f")
  t_glpk=$(best glpsol --lp "$f" --check)
  # HiGHS writes its log file into the working folder: run it in the scratch folder.
  t_highs=$(best sh -c "cd '$work' && '$highs' --model_file '$f' --time_limit 0 --presolve off")
  awk -v r="$rows" -v mb="$mb" -v a="$t_tarvo" -v b="$t_glpk" -v c="$t_highs" 'BEGIN {
    printf "%-8d %8.1f %14.1f %12.1f %12.1f %10.2f %10.2f\n", r, mb, mb / a, mb / b, mb / c, b / a, c / a }'
  t_tarvo_w=$(best "$runtarvo" --read-only "$f" --write-lp "$work/out_tarvo.lp")
  t_glpk_w=$(best glpsol --lp "$f" --check --wlp "$work/out_glpk.lp")
  writes="$writes$(awk -v r="$rows" -v mb="$mb" -v a="$t_tarvo_w" -v a0="$t_tarvo" -v b="$t_glpk_w" -v b0="$t_glpk" 'BEGIN {
    wa = a - a0; wb = b - b0; if (wa < 1e-3) wa = 1e-3; if (wb < 1e-3) wb = 1e-3;
    printf "%-8d %8.1f %14.1f %12.1f %10.2f", r, mb, mb / wa, mb / wb, wb / wa }')
"
done
printf "\n%-8s %8s %14s %12s %10s\n" rows "text MB" "tarvo w MB/s" "glpsol w MB/s" "vs glpsol"
printf "%s" "$writes"
