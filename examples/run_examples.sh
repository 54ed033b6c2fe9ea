#!/usr/bin/env bash
# Installs the library from a build folder into a fresh prefix, builds every
# example against that installation twice (pkg-config and the CMake package),
# runs them and checks their answers. Usage: examples/run_examples.sh [BUILD]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" > "$work/install.log"
for f in include/tarvo.h bin/runtarvo lib/pkgconfig/tarvo.pc lib/cmake/tarvo/tarvoConfig.cmake; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
ls "$prefix"/lib/libtarvo.so.* > /dev/null

examples="lp_arrays warm_resolve model_file progress_callback mip_callback"

# Each example's output must hold these texts.
expect() {
  case "$1" in
    lp_arrays) printf '%s\n' "objective 36" "x = 2, y = 6" "duals 0 1.5 1" "reduced costs 0 0" ;;
    warm_resolve) printf '%s\n' "first solve: status 2, objective 29" "after the change: status 2, objective 22" \
                                "x = 8, y = 2, z = 0" ;;
    model_file) printf '%s\n' "status 2, objective -750" "PROD_A     40" "PROD_B     30" ;;
    progress_callback) printf '%s\n' "solve returned 2023 (User interrupt.)" \
                                     "without the callback: status 2, objective 295" ;;
    mip_callback) printf '%s\n' "new incumbent: 127" "status 1, objective 127 after callbacks" ;;
  esac
}

run_all() {
  local bindir="$1" how="$2"
  for ex in $examples; do
    local args=()
    [ "$ex" = model_file ] && args=("$here/models/production.mps")
    # No LD_LIBRARY_PATH: the programs must find the installed library themselves.
    local out
    if ! out="$(env -u LD_LIBRARY_PATH "$bindir/$ex" "${args[@]}" 2>&1)"; then
      echo "FAIL ($how) $ex exited with an error:"; echo "$out"; exit 1
    fi
    while IFS= read -r line; do
      grep -qF -- "$line" <<< "$out" || { echo "FAIL ($how) $ex: missing '$line' in:"; echo "$out"; exit 1; }
    done < <(expect "$ex")
    echo "ok ($how) $ex"
  done
}

# 1. pkg-config, as a Makefile or a shell line would do it.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
mkdir -p "$work/pc"
for ex in $examples; do
  cc -std=c99 -Wall -Wextra -pedantic -Werror "$here/$ex.c" $(pkg-config --cflags --libs tarvo) -o "$work/pc/$ex"
done
run_all "$work/pc" pkg-config

# 2. The CMake package (find_package(tarvo) and tarvo::tarvo).
cmake -S "$here" -B "$work/cm" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="-Wall -Wextra -Werror" \
  > "$work/cmake.log"
cmake --build "$work/cm" > "$work/cmake-build.log"
run_all "$work/cm" cmake

# 3. The installed runtarvo finds its library too.
env -u LD_LIBRARY_PATH "$prefix/bin/runtarvo" "$here/models/production.mps" | grep -q "Objective  : -750"
echo "ok runtarvo"
