#!/usr/bin/env bash
# Installs a built tree under a prefix that is not the configured one, then builds a host against it twice:
# with find_package(Fenk) and with pkg-config. Either way the host must compile, link and run.
set -euo pipefail
build_tree="$1"
consumer="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/staged prefix"

cmake --install "$build_tree" --prefix "$prefix" >/dev/null
libdir="$(dirname "$(find "$prefix" -name 'libfenk.so' -print -quit)")"
export LD_LIBRARY_PATH="$libdir"

echo "== find_package(Fenk)"
cmake -S "$consumer" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/consumer"

echo "== pkg-config fenk"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
eval "flags=($(pkg-config --cflags --libs fenk))"  # pkg-config escapes the space in the prefix for the shell
c++ "$consumer/main.cpp" "${flags[@]}" -o "$work/pkg-config-consumer"
"$work/pkg-config-consumer"
