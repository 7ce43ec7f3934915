#!/usr/bin/env bash
# Clips of the bank played by the quiz at each of its openings on the built program: issue 8 holds a video
# question in each of groups 1 and 2, chosen on the maintenance screen; the quiz plays the first, is closed
# and opened again, and plays the second.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_sql "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, tmyes) values
           (8, '1', 1, '多媒体题', '小球.avi', 0), (8, '2', 1, '多媒体题', '小球.avi', 0)"
e2e_start
open_bank 8 1
e2e_key Escape                        # the main menu, now on issue 8
e2e_click 157 410                     # area 1: the show hub
e2e_key F1                            # the scoring screen
e2e_key F1 F10                        # round 1, the quiz board
e2e_click 160 185                     # tile 1: group 1's clip
e2e_expect "the first clip plays" differs "$(moving 300 200 400 300)"
e2e_key Escape Escape                 # the board, then the quiz closes
e2e_key F10
e2e_click 345 185                     # tile 2: group 2's clip
e2e_expect "the clip after the quiz was opened again plays" differs "$(moving 300 200 400 300)"
e2e_expect "both clips are used" "1 1" "$(e2e_sql "select tmyes from tiku where qs = 8 order by tmfz" | tr '\n' ' ' | sed 's/ $//')"
e2e_end
