#!/usr/bin/env bash
# The clocks on the built program, from the scoring screen: M opens the countdown, a preset chosen with
# the arrow key, the apostrophe key starts and stops it, the semicolon key puts the preset back; N opens
# the count-up clock with the same two keys. Checked by the pixels of the figures. Last, the longest
# preset, 9999, stands inside the dial: the pixels of the ticks around it stay as they were.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_sql "insert into djs (js) values ('9999')" # last of the list, which is in text order
e2e_start

same() { cmp -s "$E2E_TMP/$1.png" "$E2E_TMP/$2.png"; }
figures() { e2e_grab 297 262 425 249 "$E2E_TMP/$1.png"; } # the countdown's lab_djs
elapsed() { e2e_grab 128 302 711 133 "$E2E_TMP/$1.png"; } # the count-up's Label1 and Label2

e2e_click 157 410 # area 1: the show hub
e2e_key F1 M      # the scoring screen, then its countdown

figures empty
e2e_key Down # the first preset of the list, which has the focus on opening
figures preset
same empty preset && e2e_fail "choosing a preset shows no number"
e2e_pass "a preset is shown"

e2e_key apostrophe
sleep 2.5
figures counted
same preset counted && e2e_fail "the countdown does not count"
e2e_pass "the apostrophe key starts the countdown"

e2e_key apostrophe
figures stopped
sleep 1.5
figures still
same stopped still || e2e_fail "the countdown goes on after the apostrophe key"
e2e_pass "the apostrophe key stops it"

e2e_key semicolon
figures reset
same preset reset || e2e_fail "the semicolon key does not put the preset back"
e2e_pass "the semicolon key puts the preset back"

e2e_key Escape N
elapsed zero
e2e_key apostrophe
sleep 1.5
elapsed running
same zero running && e2e_fail "the count-up clock does not count"
e2e_pass "the apostrophe key starts the count-up clock"

e2e_key apostrophe
elapsed stopped
sleep 1.2
elapsed still
same stopped still || e2e_fail "the count-up clock goes on after the apostrophe key"
e2e_pass "the apostrophe key stops it"

e2e_key semicolon
elapsed reset
same zero reset || e2e_fail "the semicolon key does not set the clock back to zero"
e2e_pass "the semicolon key sets it back to zero"

# Small squares on the dial's tick ring, 197 to 215 pixels from its centre at 509.5, 388: at 3 and 9
# o'clock, where a wide number reaches first, and at 20, 35 and 50 degrees above and below them.
ticks() {
  local i=0 spot
  for spot in 710,382 298,382 \
      697,312 697,452 310,312 310,452 \
      672,264 672,500 335,264 335,500 \
      636,224 636,540 371,224 371,540; do
    e2e_grab "${spot%,*}" "${spot#*,}" 12 12 "$E2E_TMP/$1-$i.png"
    i=$((i + 1))
  done
}
e2e_key Escape M
ticks bare
e2e_key End # the last preset: 9999
figures longest
same empty longest && e2e_fail "the preset 9999 is not shown"
ticks numbered
for i in $(seq 0 13); do
  same "bare-$i" "numbered-$i" || e2e_fail "the number 9999 covers the dial's ticks (square $i)"
done
e2e_pass "9999 stands inside the dial's ticks"

e2e_key Escape
e2e_end
