#!/usr/bin/env bash
# The clocks on the built program, from the scoring screen: M opens the countdown, a preset chosen with
# the arrow key, the apostrophe key starts and stops it, the semicolon key puts the preset back; N opens
# the count-up clock with the same two keys. Checked by the pixels of the figures.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
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

e2e_key Escape
e2e_end
