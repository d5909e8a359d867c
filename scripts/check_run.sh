#!/usr/bin/env bash
# Checks ./run.sh as a player uses it: given a game path relative to another
# folder it runs that game, a second run builds nothing, and what the program
# writes beside the sample game stays out of version control.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/mygame" "$work/data"
cat > "$work/mygame/main.qxml" <<'GAME'
<?xml version="1.0"?>
<Applet name="game" width="64" height="48" title="Run Check" onTick="engine.log('game ran'); applet.terminate();">
  <Dummy name="scene"/>
</Applet>
GAME

run_game() {
  (cd "$work" && XDG_DATA_HOME="$work/data" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
     LIBGL_ALWAYS_SOFTWARE=1 timeout 900 "$repo/run.sh" mygame/main.qxml) > "$1" 2>&1 || {
    cat "$1"
    echo "check_run: ./run.sh mygame/main.qxml failed" >&2
    exit 1
  }
}

run_game "$work/first.txt"
grep -q "game ran" "$work/data/qplay/run check/log.txt" || {
  echo "check_run: the game given by a relative path did not run" >&2
  exit 1
}
run_game "$work/second.txt"
grep -q "ninja: no work to do" "$work/second.txt" || {
  cat "$work/second.txt"
  echo "check_run: a second ./run.sh built again" >&2
  exit 1
}

if git -C "$repo" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  for generated in examples/hello/main.qbin examples/hello/main.jsbin examples/hello/cache/Arial12.fnbin; do
    git -C "$repo" check-ignore -q "$generated" || {
      echo "check_run: $generated would be taken into version control" >&2
      exit 1
    }
  done
fi
echo "check_run: ./run.sh runs a relative game path and builds nothing the second time"
