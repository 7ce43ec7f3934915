#!/usr/bin/env bash
# The lottery road on the built program: the hub's F3 draws three winners from the demo list and the
# results file gains six lines; the program is killed after two more draws, started again and draws on.
# No entry ever comes twice, and every winner has left the list file.
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

e2e_end
