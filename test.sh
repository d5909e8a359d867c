#!/usr/bin/env bash
# Installs what is missing, builds the test tree with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install_deps.sh

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQ_SANITIZE=ON -DQ_WERROR=ON
cmake --build "$build" -j"$(nproc)"

export SDL_AUDIODRIVER=dummy
export LIBGL_ALWAYS_SOFTWARE=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
export ASAN_OPTIONS=detect_odr_violation=0

# Display tests pick SDL's offscreen driver through their test properties;
# tests that inject input or grab the screen need the X server.
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300

# ./run.sh from another folder with a relative game path, run twice: the game
# runs, the second run builds nothing, generated files stay out of git.
./scripts/check_run.sh
