#!/usr/bin/env bash
# Installs what is missing, builds an optimised qplay and runs it.
# With no argument it runs the sample game in examples/.
set -euo pipefail
# The game path is the caller's: resolve it before moving to the checkout.
main=""
if [ $# -gt 0 ]; then main=$(realpath -m -- "$1"); fi
cd "$(dirname "$0")"
./scripts/install_deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ_TESTS=OFF
cmake --build "$build" -j"$(nproc)" --target qplay

exec "$build/qplay" "${main:-examples/hello/main.qxml}"
