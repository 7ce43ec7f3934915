#!/usr/bin/env bash
# The quiz road on the built program with its demo question bank: main menu, area 1, F1, F1, F10; a tile,
# the countdown, Enter, Up, Esc, Esc; the tile without its number at the next showing; a clip and a Flash
# movie that play; Esc from the movie back to the board.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_start

used() { e2e_sql "select tmyes from tiku where qs = 0 and tmfz = '$1' and ctsx = $2"; }
quiz_shown() { xdotool search --onlyvisible --name '^选题' >/dev/null 2>&1 && echo yes || echo no; }
same() { cmp -s "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" && echo same || echo differs; }
# Regions: tiles 1, 3 and 8, the choice countdown, option A, the clip's picture.
tile1() { e2e_grab 90 140 140 80 "$E2E_TMP/$1.png"; }
tile3() { e2e_grab 450 140 140 80 "$E2E_TMP/$1.png"; }
tile8() { e2e_grab 450 276 140 80 "$E2E_TMP/$1.png"; }
clock() { e2e_grab 408 10 209 87 "$E2E_TMP/$1.png"; }
option_a() { e2e_grab 130 372 350 86 "$E2E_TMP/$1.png"; }
clip() { e2e_grab 300 200 400 300 "$E2E_TMP/$1.png"; }

e2e_click 157 410             # area 1: the show hub
e2e_key F1                    # the scoring screen
sleep 1                       # a busy machine takes a while to give it the keyboard
e2e_key F1 F10                # round 1, the quiz board
e2e_wait 10 "the quiz board" bash -c "xdotool search --onlyvisible --name '^选题'"
e2e_expect "F10 shows the quiz board" yes "$(quiz_shown)"
tile1 tile1-first
tile3 tile3-first
tile8 tile8-first

e2e_click 160 185             # tile 1: its first choice question
e2e_expect "the presented question is used at once" 1 "$(used 1 1)"
option_a option-before
e2e_key apostrophe            # the countdown starts
sleep 1.6
clock clock-1
sleep 1.2
clock clock-2
e2e_expect "the countdown runs" differs "$(same clock-1 clock-2)"
e2e_key Return                # stops it and reveals the answer
clock clock-3
sleep 1.3
clock clock-4
e2e_expect "Enter stops the countdown" same "$(same clock-3 clock-4)"
option_a option-after
e2e_expect "Enter turns the correct option red" differs "$(same option-before option-after)"

e2e_key Up                    # the group's next question
e2e_expect "Up presents the next question" 1 "$(used 1 2)"
e2e_key Escape Escape
e2e_expect "Esc, Esc closes the quiz" no "$(quiz_shown)"

e2e_key F10
e2e_expect "F10 shows the board again" yes "$(quiz_shown)"
tile1 tile1-second
tile3 tile3-second
e2e_expect "the started tile has lost its number" differs "$(same tile1-first tile1-second)"
e2e_expect "an unstarted tile keeps its number" same "$(same tile3-first tile3-second)"

e2e_click 160 320             # tile 6: the video clip
# The ball rolls in the clip's first three seconds, fastest at the start, then rests: grab early.
sleep 0.9
clip clip-1
sleep 0.6
clip clip-2
e2e_expect "the clip plays" differs "$(same clip-1 clip-2)"
e2e_key Escape

e2e_click 345 320             # tile 7: the Flash movie
sleep 6                       # the emulator starts on first use
tile8 flash-1
e2e_expect "the Flash movie covers the board" differs "$(same tile8-first flash-1)"
e2e_expect "the Flash movie is used" 1 "$(used 7 1)"
e2e_key Escape
tile8 tile8-back
e2e_expect "Esc brings the board back over the movie" same "$(same tile8-first tile8-back)"
e2e_expect "no error box" 4 "$(e2e_windows)"
e2e_end
