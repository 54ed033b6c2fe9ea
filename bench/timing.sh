# Sourced by the reading benchmarks. best CMD...: the best wall-clock seconds
# of $repeat runs of the command; a failing command stops the benchmark
# unless allow_fail=1 (peers that exit non-zero after a deliberate stop).
best() {
  local best_s="" s t0 t1
  for _ in $(seq "$repeat"); do
    t0=$(date +%s.%N)
    if ! "$@" >/dev/null 2>&1 && [ "${allow_fail:-0}" != 1 ]; then
      echo "failed: $*" >&2
      return 1
    fi
    t1=$(date +%s.%N)
    s=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')
    if [ -z "$best_s" ] || awk -v s="$s" -v b="$best_s" 'BEGIN { exit !(s < b) }'; then best_s=$s; fi
  done
  echo "$best_s"
}
