#!/usr/bin/env bash
# Installs what is missing, builds an optimised qplay and runs it.
# With no argument it runs the sample game in examples/.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install_deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQ_TESTS=OFF
cmake --build "$build" -j"$(nproc)" --target qplay

main=${1:-examples/hello/main.qxml}
exec "$build/qplay" "$main"
