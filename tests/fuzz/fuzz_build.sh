# Sourced by the run_*_fuzz.sh scripts: installs clang when missing and builds
# the libFuzzer target named by $target in $build (shared by all targets).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${MPS_FUZZ_BUILD:-$root/build-fuzz}"
if ! command -v clang++ >/dev/null 2>&1; then
  (apt-get update -qq || true) && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang
fi
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j 2 --target "$target"
data="$root/../shared/data/sample"
[ -d "$data" ] || data=/work/shared/data/sample
