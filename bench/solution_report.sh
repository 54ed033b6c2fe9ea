#!/usr/bin/env bash
# Solution-report writing time on large generated LPs: runtarvo solves each
# model with and without --write-solution (full report, then the ranging
# report with --ranging) and the difference, best of REPEAT runs, is the
# writing time. The goal: a report of a 10^5-column model in well under a
# second.
# Usage: bench/solution_report.sh [BUILD_DIR] (default build); COLS="n ..." to choose.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
repeat="${REPEAT:-3}"
sizes="${COLS:-100000}"
runtarvo="$build/tools/runtarvo/runtarvo"
[ -x "$runtarvo" ] || { echo "no runtarvo in $build (build it first)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# cols columns spread over cols/100 covering rows: a quick solve, every
# column listed in the report.
generate() {
  awk -v n="$1" 'BEGIN {
    srand(3); m = int(n / 100);
    print "Minimize"; printf " obj:";
    for (j = 1; j <= n; j++) { printf " + %.4g x%d", 1 + int(rand() * 100) / 10, j; if (j % 10 == 0) printf "\n"; }
    print ""; print "Subject To";
    for (i = 1; i <= m; i++) {
      printf " c%d:", i;
      for (j = i; j <= n; j += m) printf " + x%d", j;
      printf " >= %d\n", 1 + int(rand() * 10);
    }
    print "End" }'
}

source "$root/bench/timing.sh"
printf "%-8s %10s %12s %12s %14s\n" cols "solve s" "report s" "ranging s" "report MB"
for n in $sizes; do
  f="$work/gen$n.lp"
  generate "$n" > "$f"
  t_solve=$(best "$runtarvo" "$f")
  t_report=$(best "$runtarvo" "$f" --write-solution "$work/r.sol")
  t_ranging=$(best "$runtarvo" "$f" --ranging --write-solution "$work/rr.sol")
  t_print=$(best "$runtarvo" "$f" --ranging)
  mb=$(awk -v b="$(wc -c < "$work/r.sol")" 'BEGIN { printf "%.1f", b / 1e6 }')
  awk -v n="$n" -v s="$t_solve" -v a="$t_report" -v b="$t_ranging" -v p="$t_print" -v mb="$mb" 'BEGIN {
    r = a - s; g = b - p; if (r < 0) r = 0; if (g < 0) g = 0;
    printf "%-8d %10.3f %12.3f %12.3f %14s\n", n, s, r, g, mb }'
done
