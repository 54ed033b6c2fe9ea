#!/usr/bin/env bash
# Builds the MPS reader's libFuzzer target with clang and runs it for a
# bounded time (default 60 s; first argument or MPS_FUZZ_SECONDS), starting
# from the sample models and small generated files. Exits non-zero when the
# fuzzer finds a crash, a leak or an inconsistent model.
set -euo pipefail
seconds="${1:-${MPS_FUZZ_SECONDS:-60}}"
target=mps_reader_fuzz
source "$(dirname "$0")/fuzz_build.sh"

corpus="$build/mps_corpus"
mkdir -p "$corpus"
# Seeds: a format byte (0 free, 1 fixed, 5 fixed and compressed) and a model.
if [ -d "$data" ]; then
  for f in "$data"/*.mps; do
    { printf '\001'; cat "$f"; } > "$corpus/fixed_$(basename "$f")"
    { printf '\000'; cat "$f"; } > "$corpus/free_$(basename "$f")"
  done
fi
printf '\000NAME t\nROWS\n N o\n L r\n G g\nCOLUMNS\n M m '"'"'MARKER'"'"' '"'"'INTORG'"'"'\n x o 1 r 1\n M m '"'"'MARKER'"'"' '"'"'INTEND'"'"'\n y g 2\nRHS\n b r 4\nRANGES\n q g 1\nBOUNDS\n UP B x 3\n SC B y 5\nQUADOBJ\n x y 1\nENDATA\n' > "$corpus/seed_sections"
printf '\000NAME c\nROWS\n N o\n E r\nCOLUMNS\n x r 1\n y r 1\n z r 1\nRHS\nINDICATORS\n IF r x 1\nCSECTION k 0 QUAD\n x\n y\nENDATA\n' > "$corpus/seed_cones"

cd "$build"
ASAN_OPTIONS=detect_leaks=1 "$build/mps_reader_fuzz" "$corpus" -dict="$here/mps.dict" \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
