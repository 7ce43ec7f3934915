#!/bin/bash
# The lottery road of the built program on Xvfb: the hub's F3 draws three winners (six new lines in the
# results file); the program is killed with signal 9 after two more draws, started again, and draws on:
# no entry ever comes twice and every winner has left the list file.
# Usage: test_lottery.sh [program folder]   (default: the build's Quelmora folder beside this tree)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_folder=${1:-$here/../../build/Quelmora}
[ -x "$source_folder/quelmora" ] || { echo "no program in $source_folder" >&2; exit 1; }

work=$(mktemp -d)
app=
xvfb=
cleanup() {
  [ -n "$app" ] && kill -9 "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

folder=$work/Quelmora
cp -a "$source_folder/." "$folder/"
list=$folder/抽奖/抽奖名单.txt
results=$folder/抽奖/抽奖结果.txt
rm -f "$results"

# Xvfb picks a free display and writes its number to the pipe.
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "$!")
read -r xvfb <&3
read -r display <&3
export DISPLAY=:$display QUELMORA_HOME=$folder XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$work/runtime"

fail() { echo "FAIL: $*" >&2; exit 1; }
entries() { iconv -f GBK -t UTF-8 "$list" | grep -c '[^[:space:]]' || true; }
result_lines() { [ -f "$results" ] && iconv -f GBK -t UTF-8 "$results" | grep -c . || echo 0; }
winners() { iconv -f GBK -t UTF-8 "$results" | awk 'NR % 2 == 0'; }
key() { xdotool key --delay 100 "$@"; sleep 0.4; }

start_lottery() {
  "$folder/quelmora" >"$work/app.log" 2>&1 &
  app=$!
  for _ in $(seq 100); do
    xdotool search --name Quelmora >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 1.5
  xdotool mousemove 150 400 click 1 # the main menu's first area: the hub
  sleep 1
  key F3
}
draw() {
  local before
  before=$(result_lines)
  key space
  sleep 0.3
  key space
  for _ in $(seq 30); do
    [ "$(result_lines)" -eq $((before + 2)) ] && return 0
    sleep 0.1
  done
  fail "a draw wrote no two lines (results: $(result_lines))"
}

total=$(entries)
[ "$total" -ge 30 ] || fail "the demo list holds $total entries"

start_lottery
for _ in 1 2 3; do draw; done
[ "$(result_lines)" -eq 6 ] || fail "three draws wrote $(result_lines) lines"

draw
draw
kill -9 "$app"
wait "$app" 2>/dev/null || true
app=
[ "$(entries)" -eq $((total - 5)) ] || fail "after five draws and a kill the list holds $(entries) of $total"

start_lottery
draw
draw
kill "$app"
wait "$app" 2>/dev/null || true
app=

[ "$(winners | wc -l)" -eq 7 ] || fail "seven draws logged $(winners | wc -l) winners"
[ "$(winners | sort -u | wc -l)" -eq 7 ] || fail "an entry was drawn twice: $(winners | sort | uniq -d)"
while read -r winner; do
  iconv -f GBK -t UTF-8 "$list" | grep -qxF "$winner" && fail "$winner is still on the list"
done < <(winners)
[ "$(entries)" -eq $((total - 7)) ] || fail "the list holds $(entries) of $total after seven draws"
echo "PASS: seven winners, none twice, all off the list"
