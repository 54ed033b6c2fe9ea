#!/usr/bin/env bash
# Builds the LP-format and TARVO text readers' libFuzzer target with clang and
# runs it for a bounded time (default 30 s; first argument or
# ALG_FUZZ_SECONDS), starting from the sample models and small hand-written
# files. Exits non-zero when the fuzzer finds a crash, a leak or an
# inconsistent model.
set -euo pipefail
seconds="${1:-${ALG_FUZZ_SECONDS:-30}}"
target=algebraic_reader_fuzz
source "$(dirname "$0")/fuzz_build.sh"

corpus="$build/algebraic_corpus"
mkdir -p "$corpus"
# Seeds: a flag byte (bit 0: TARVO text) and a model.
if [ -d "$data" ]; then
  for f in "$data"/*.lp; do
    [ -f "$f" ] && { printf '\000'; cat "$f"; } > "$corpus/lp_$(basename "$f")"
  done
fi
printf '\000\\ all sections\nmaximize\n obj: 3 x + 2 y - z + 4\nsubject to\n c1: x + y <= 4\n r: -2 <= x - z <= 8\n 3 >= y\nbounds\n x <= 3\n z free\n -inf <= w <= 5\ngeneral\n y\nbinary\n w\nsemi-continuous\n x\nsos\n s: S1:: x:1 y:2\nend\n' > "$corpus/seed_lp"
printf '\000min\n obj: x + [ 2 x ^ 2 + 4 x * y ] / 2\nst\n q: x + y + [ x ^ 2 - y * z ] <= 10\n f: -inf <= x + z <= inf\nend\n' > "$corpus/seed_quadratic"
printf '\001TITLE t\nMAX 2 x + 3 y - 1 ! comment\nST\nc1) x + y <= 4\n x - y >= -2\nEND\nSUB x 3\nSLB y -1\nFREE z\nINT x\nGIN y\n' > "$corpus/seed_ltx"

cd "$build"
ASAN_OPTIONS=detect_leaks=1 "$build/algebraic_reader_fuzz" "$corpus" -dict="$here/algebraic.dict" \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
