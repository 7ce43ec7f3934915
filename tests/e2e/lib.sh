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

# The helpers of the entry screen's roads: file dialogs, saves and the screen's pixels.

# same A B: whether two grabs saved as $E2E_TMP/A.png and B.png are alike.
same() { cmp -s "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" && echo same || echo differs; }
# moving X Y W H: whether the region changes between two grabs a little apart within a few seconds (a
# player takes a varying while to start).
moving() {
  local k
  for k in $(seq 20); do
    e2e_grab "$@" "$E2E_TMP/moving-1.png"
    sleep 0.3
    e2e_grab "$@" "$E2E_TMP/moving-2.png"
    [ "$(same moving-1 moving-2)" = differs ] && { echo differs; return; }
  done
  echo same
}
# near COLOUR X Y: whether the screen's pixel is within a few steps of #rrggbb in each channel (JPEG
# pictures are only nearly their painted colour).
near() {
  local got
  got=$("$QUELMORA_E2E_GRAB" --pixel "$2" "$3") || e2e_fail "cannot grab a pixel"
  local i want have
  for i in 1 3 5; do
    want=$((16#${1:i:2}))
    have=$((16#${got:i:2}))
    [ $(((want - have) * (want - have))) -le 100 ] || { echo "$got"; return; }
  done
  echo yes
}
# red_line X1 Y1 X2 Y2: of nine places along the segment, how many are red on the screen (9: a line is
# drawn there, 0: none).
red_line() { "$QUELMORA_E2E_GRAB" --red-line "$@" || e2e_fail "cannot grab the screen"; }

# The program's windows on the screen, one id a line. A video clip adds a window of its own, so a dialog is
# told by its id, not by the number of windows.
window_ids() { xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | sort || true; }
new_windows() { comm -13 <(echo "$1") <(window_ids); }
# opened BEFORE WHAT: waits for a window that was not among BEFORE and prints its id.
opened() {
  local deadline=$((SECONDS + 10)) id
  until id=$(new_windows "$1" | head -n1) && [ -n "$id" ]; do
    [ "$SECONDS" -lt "$deadline" ] || e2e_fail "timed out waiting for $2"
    sleep 0.1
  done
  echo "$id"
}
closed() { e2e_wait 10 "$2 to close" bash -c "! xdotool search --onlyvisible --pid $E2E_APP_PID | grep -qx $1"; }
# gone ID SECONDS: whether window ID leaves the screen within SECONDS.
gone() {
  local deadline=$((SECONDS + $2))
  while xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | grep -qx "$1"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
# choose_file BUTTON_X BUTTON_Y PATH: the file dialog behind a button, answered with a full path pasted into
# its name box (typed Chinese letters get lost on a busy X server).
choose_file() {
  local before dialog
  rm -f "$E2E_TMP/clipboard"
  "$QUELMORA_E2E_GRAB" --clipboard "$3" >"$E2E_TMP/clipboard" 2>/dev/null &
  e2e_wait 5 "the clipboard" grep -q ready "$E2E_TMP/clipboard"
  before=$(window_ids)
  e2e_click "$1" "$2"
  dialog=$(opened "$before" "the file dialog")
  # A busy machine may show the dialog before it takes the keyboard: paste again while it stays open.
  local try
  for try in 1 2 3; do
    sleep "$try"
    xdotool key --delay 60 ctrl+a ctrl+v
    sleep 0.3
    e2e_key Return
    gone "$dialog" 8 && break
  done
  closed "$dialog" "the file dialog"
  sleep 0.5
}
# save WHAT: 保 存 of the entry screen, then its message closed with Enter.
save() {
  local before box
  before=$(window_ids)
  e2e_click 960 28
  box=$(opened "$before" "the message of $1")
  e2e_key Return
  closed "$box" "the message of $1"
}
# The entry screen's type list: 选择题, 问答题, 图片题, 连线题, 多媒体题; choose_type N picks the N-th.
choose_type() {
  e2e_click 69 49
  xdotool key Home
  sleep 0.15
  local k
  for k in $(seq $(($1 - 1))); do xdotool key Down; sleep 0.15; done
  e2e_key Return
}
# open_bank ISSUE GROUP: main menu area 2, the issue and the group of the maintenance screen.
open_bank() {
  e2e_click 386 383
  e2e_click 70 41
  e2e_key ctrl+a "$1"
  e2e_click 270 41
  e2e_key ctrl+a "$2"
}
# grid_menu ITEM: the grid's context menu, its ITEM-th entry (1 adds a question, 2 edits the current one).
grid_menu() {
  xdotool mousemove 500 300 click 3
  sleep 0.8
  local k
  for k in $(seq "$1"); do xdotool key Down; sleep 0.15; done
  e2e_key Return
  sleep 1
}
