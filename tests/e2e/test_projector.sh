#!/usr/bin/env bash
# The stage on a 1920 x 1080 projector: scaled to 1440 x 1080 and centred between black bars, the judged
# road played with clicks at their scaled places, and the quiz's video clip and Flash movie filling their
# scaled areas.
. "$(dirname "$0")/lib.sh"
e2e_begin 1920x1080
e2e_start

# stage coordinates to the projector's pixels: 1.40625 times, 240 pixels in from the left
at() { echo $((240 + $1 * 1440 / 1024)) $(($2 * 1080 / 768)); }
click() { e2e_click $(at "$1" "$2"); }

menu=$(xdotool search --onlyvisible --name '^Quelmora$' | while read -r w; do
  xdotool getwindowgeometry --shell "$w" | tr '\n' ' '; echo; done | grep 'WIDTH=1440' | head -n1)
[ -n "$menu" ] || e2e_fail "no 1440 x 1080 menu window"
eval "$menu"
e2e_expect "the menu fills the scaled stage" "1440x1080" "${WIDTH}x${HEIGHT}"
[ "$X" -ge 239 ] && [ "$X" -le 241 ] && [ "$Y" -eq 0 ] || e2e_fail "the stage is at $X,$Y, not 240,0"
e2e_pass "the stage is centred"

# The bars beside the stage are black.
e2e_expect "the left bar is black" "#000000" "$("$QUELMORA_E2E_GRAB" --pixel 100 540)"
e2e_expect "the right bar is black" "#000000" "$("$QUELMORA_E2E_GRAB" --pixel 1800 540)"

click 157 410                 # area 1: the show hub
e2e_key F1                    # the scoring screen
e2e_key F1 Up F9              # round 1, contestant 1, the entry panel
click 857 753                 # 自动生成
sleep 1
click 741 753                 # 确 定
e2e_key F7
e2e_expect "the judged road stores at its scaled places" 1 "$(e2e_sql "select count(*) from pwdf where lunshu = 1")"

# The quiz's video clip plays in its scaled area and fills it.
e2e_key Escape F10            # the quiz board
click 160 320                 # tile 6: the video clip
sleep 0.9
e2e_grab $(at 300 200) 562 422 "$E2E_TMP/clip-1.png"
sleep 0.6
e2e_grab $(at 300 200) 562 422 "$E2E_TMP/clip-2.png"
cmp -s "$E2E_TMP/clip-1.png" "$E2E_TMP/clip-2.png" && e2e_fail "the clip does not play on the scaled stage"
e2e_pass "the clip plays on the scaled stage"
# Near the bottom right of the clip's area the clip's blue field shows, not the panel behind it.
colour=$("$QUELMORA_E2E_GRAB" --pixel $(at 870 600))
r=$((16#${colour:1:2})) b=$((16#${colour:5:2}))
[ "$b" -gt $((r + 60)) ] || e2e_fail "the clip does not fill its scaled area (colour $colour)"
e2e_pass "the clip fills its scaled area"

# The Flash movie covers the whole scaled stage, down to its bottom-right corner.
e2e_key Escape
e2e_grab $(at 900 650) 140 112 "$E2E_TMP/corner-board.png"
click 345 320                 # tile 7: the Flash movie
sleep 6                       # the emulator starts on first use
e2e_grab $(at 900 650) 140 112 "$E2E_TMP/corner-flash.png"
cmp -s "$E2E_TMP/corner-board.png" "$E2E_TMP/corner-flash.png" && e2e_fail "the Flash movie does not fill the scaled stage"
e2e_pass "the Flash movie fills the scaled stage"

e2e_end
