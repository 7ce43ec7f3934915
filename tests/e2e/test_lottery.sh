#!/usr/bin/env bash
# The lottery road on the built program: the hub's F3 draws three winners from the demo list and the
# results file gains six lines; the program is killed after two more draws, started again and draws on.
# No entry ever comes twice, and every winner has left the list file. A temporary file a killed write left
# beside the list is gone at the next opening. On a full disk (a small tmpfs over the lottery folder, as
# root) a draw is refused with a box: both files stay byte for byte and no name stays on the plate.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768

list="$QUELMORA_HOME/抽奖/抽奖名单.txt"
results="$QUELMORA_HOME/抽奖/抽奖结果.txt"
rm -f "$results"
utf8() { iconv -f GBK -t UTF-8 "$1"; }
entries() { utf8 "$list" | grep -c '[^[:space:]]' || true; }
result_lines() { if [ -f "$results" ]; then utf8 "$results" | grep -c . || true; else echo 0; fi; }
winners() { utf8 "$results" | awk 'NR % 2 == 0'; }

open_lottery() {
  e2e_start
  e2e_click 157 410 # area 1: the show hub
  e2e_key F3
}
# Space starts the flicker, Space again draws: two new lines in the results file.
draw() {
  local before
  before=$(result_lines)
  e2e_key space
  sleep 0.5
  e2e_key space
  e2e_wait 10 "the draw's two lines" test "$(result_lines)" -ge $((before + 2))
}

total=$(entries)
[ "$total" -ge 30 ] || e2e_fail "the demo list holds $total entries"
e2e_pass "the demo list holds $total entries"

open_lottery
draw
e2e_grab 0 0 1024 768 "$E2E_TMP/winner.png"
[ -n "${QUELMORA_E2E_KEEP:-}" ] && cp "$E2E_TMP/winner.png" "$QUELMORA_E2E_KEEP/lottery-winner.png"
draw
draw
e2e_expect "three draws write six lines" 6 "$(result_lines)"
e2e_expect "three winners are off the list" $((total - 3)) "$(entries)"

draw
draw
e2e_kill
e2e_expect "the kill keeps five draws off the list" $((total - 5)) "$(entries)"

open_lottery
draw
draw
e2e_expect "seven draws logged" 7 "$(winners | wc -l)"
e2e_expect "no entry drawn twice" 7 "$(winners | sort -u | wc -l)"
while read -r winner; do
  utf8 "$list" | grep -qxF "$winner" && e2e_fail "$winner is still on the list"
done < <(winners)
e2e_expect "the list holds what was not drawn" $((total - 7)) "$(entries)"

# A write killed half way left its temporary file: the next opening removes it.
e2e_kill
printf 'x' >"$list.Ab12Cd"
open_lottery
e2e_expect "the left-over temporary file is gone" no "$([ -e "$list.Ab12Cd" ] && echo yes || echo no)"

folder="$QUELMORA_HOME/抽奖"
mkdir -p "$E2E_TMP/lottery-copy"
cp -a "$folder/." "$E2E_TMP/lottery-copy/"
if mount -t tmpfs -o size=256k quelmora-e2e "$folder" 2>/dev/null; then
  trap 'umount -l "$folder" 2>/dev/null || true; e2e_cleanup' EXIT
  cp -a "$E2E_TMP/lottery-copy/." "$folder/"
  dd if=/dev/zero of="$folder/.filler" bs=4k 2>/dev/null || true
  cp "$list" "$E2E_TMP/list.before"
  cp "$results" "$E2E_TMP/results.before"
  windows=$(e2e_windows)
  e2e_key space
  sleep 0.5
  xdotool key space
  e2e_wait 20 "the box of the refused draw" bash -c "[ \$(xdotool search --onlyvisible --pid $E2E_APP_PID | wc -l) -gt $windows ]"
  e2e_expect "the list stays byte for byte" same "$(cmp -s "$list" "$E2E_TMP/list.before" && echo same || echo differs)"
  e2e_expect "the results stay byte for byte" same "$(cmp -s "$results" "$E2E_TMP/results.before" && echo same || echo differs)"
  e2e_key Return
  sleep 1
  e2e_expect "the box is closed" "$windows" "$(e2e_windows)"
  e2e_expect "no name stays on the plate" 0 "$(red_line 190 387 820 387)"
  rm -f "$folder/.filler"
  draw
  e2e_expect "with room again the next draw goes through" 8 "$(winners | wc -l)"
  e2e_expect "and leaves the list" $((total - 8)) "$(entries)"
else
  e2e_log "skipped the full disk: a tmpfs cannot be mounted here (run as root)"
fi

e2e_end
