# The driver of the end-to-end tests: the built program on a private Xvfb server (no window manager, as on a
# bare show PC), driven with xdotool, checked through its database, its files and the screen's pixels.
# A test script sources this file, calls e2e_begin, then the steps, and ends with e2e_end.
# Environment (set by ctest): QUELMORA_PROGRAM (the built program folder), QUELMORA_E2E_GRAB (the grab tool).
set -euo pipefail

E2E_NAME=$(basename "$0" .sh)
E2E_PASSED=0
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/quelmora-e2e.XXXXXX")
E2E_APP_PID=""
E2E_X_PID=""

e2e_log() { printf '%s: %s\n' "$E2E_NAME" "$*"; }
e2e_fail() {
  printf '%s: FAIL: %s\n' "$E2E_NAME" "$*" >&2
  [ -n "${DISPLAY:-}" ] && "$QUELMORA_E2E_GRAB" 0 0 "$E2E_W" "$E2E_H" "$E2E_TMP/failure.png" 2>/dev/null \
    && cp "$E2E_TMP/failure.png" "${QUELMORA_E2E_KEEP:-/tmp}/$E2E_NAME-failure.png" 2>/dev/null || true
  [ -f "$E2E_TMP/app.log" ] && tail -20 "$E2E_TMP/app.log" >&2
  printf '%s passed, 1 failed\n' "$E2E_PASSED"
  exit 1
}
e2e_pass() { E2E_PASSED=$((E2E_PASSED + 1)); e2e_log "ok: $*"; }

e2e_cleanup() {
  exec 4>&- 2>/dev/null || true
  [ -n "$E2E_APP_PID" ] && kill -9 "$E2E_APP_PID" 2>/dev/null || true
  local job
  for job in $(jobs -p); do kill "$job" 2>/dev/null || true; done
  [ -n "$E2E_X_PID" ] && kill "$E2E_X_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# e2e_begin [WIDTHxHEIGHT]: a private X server and a private copy of the program folder.
e2e_begin() {
  local size="${1:-1024x768}"
  E2E_W=${size%x*}
  E2E_H=${size#*x}
  for tool in Xvfb xdotool sqlite3; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
  done
  [ -x "$QUELMORA_PROGRAM/quelmora" ] || e2e_fail "no built program in $QUELMORA_PROGRAM"
  exec 3>"$E2E_TMP/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -ac >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_X_PID=$!
  exec 3>&-
  e2e_wait 10 "the X server" test -s "$E2E_TMP/display"
  export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
  export QUELMORA_HOME="$E2E_TMP/program"
  cp -a "$QUELMORA_PROGRAM" "$QUELMORA_HOME"
  E2E_DB="$QUELMORA_HOME/database/sys_main.db"
}

# e2e_wait SECONDS WHAT COMMAND...: runs COMMAND until it succeeds, or fails the test after SECONDS.
e2e_wait() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || e2e_fail "timed out waiting for $what"
    sleep 0.1
  done
}

# Starts the program on the X server and waits for its main menu.
e2e_start() {
  env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$QUELMORA_HOME/quelmora" >>"$E2E_TMP/app.log" 2>&1 &
  E2E_APP_PID=$!
  e2e_wait 30 "the main menu" xdotool search --onlyvisible --name '^Quelmora$'
  # The keyboard follows the pointer on a bare X server: keep the pointer on the stage.
  xdotool mousemove 1000 700
  sleep 1
}

# Kills the program as a power cut would.
e2e_kill() {
  kill -9 "$E2E_APP_PID" 2>/dev/null || true
  wait "$E2E_APP_PID" 2>/dev/null || true
  E2E_APP_PID=""
}

e2e_alive() { kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program has died"; }

# e2e_key KEY...: one xdotool key press and release each (xdotool names: F7, shift+Delete, Up, period).
e2e_key() {
  e2e_alive
  local k
  for k in "$@"; do
    xdotool key --delay 60 "$k"
    sleep 0.4
  done
}

# e2e_hold KEY SECONDS: a key held down, as an operator's finger that stays a little long.
e2e_hold() {
  e2e_alive
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
  sleep 0.6
}

# e2e_click X Y: a left click at stage coordinates.
e2e_click() {
  e2e_alive
  xdotool mousemove "$1" "$2" click 1
  sleep 0.6
}

# e2e_windows: how many of the program's windows are on the screen (a message box adds one).
e2e_windows() { xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | wc -l; }

# e2e_sql STATEMENT: the answer of the program's database.
e2e_sql() { sqlite3 -batch "$E2E_DB" "$1"; }

# e2e_grab X Y W H FILE: the screen's pixels of a region.
e2e_grab() { "$QUELMORA_E2E_GRAB" "$@" || e2e_fail "cannot grab the screen"; }

# e2e_expect WHAT EXPECTED ACTUAL
e2e_expect() {
  [ "$2" = "$3" ] || e2e_fail "$1: expected '$2', got '$3'"
  e2e_pass "$1"
}

e2e_end() {
  e2e_alive
  printf '%s passed, 0 failed\n' "$E2E_PASSED"
}
