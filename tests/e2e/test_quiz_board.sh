#!/usr/bin/env bash
# The quiz board's road on the built program: a group left half-played goes on when the quiz is opened
# again, the lines of a matching question lie beneath its number marks, another issue shows every tile's
# number again, and a picture question whose file is gone is reported once over the picture panel's bare
# ground; Up goes on with the group, the broken question stays unasked and plays once its picture is back.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768

# Issue 6 beside the demo bank of issue 0: group 1 holds a picture, a picture that is gone and a question.
style="'黑体', '28', '16777215', '0', '黑体', '24', '65535', '0'"
e2e_sql "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, danr, tmfont, tmsize, tmcolor, tmbjs, dafont, dasize, dacolor, dabjs, tmyes) values
  (6, '1', 1, '图片题', '数三角形.jpg', '数三角形答案.jpg', $style, 0),
  (6, '1', 2, '图片题', '不见了.jpg', '数三角形答案.jpg', $style, 0),
  (6, '1', 3, '问答题', '第三题', '答案', $style, 0),
  (6, '2', 1, '问答题', '另一组', '答案', $style, 0)"
e2e_start

used() { e2e_sql "select tmyes from tiku where qs = $1 and tmfz = '$2' and ctsx = $3"; }
tile1() { e2e_grab 90 140 140 80 "$E2E_TMP/$1.png"; }
tile2() { e2e_grab 270 140 140 80 "$E2E_TMP/$1.png"; }
quiz_shown() { xdotool search --onlyvisible --name '^选题' >/dev/null 2>&1; }
board() {
  e2e_click 157 410           # area 1: the show hub
  e2e_key F1                  # the scoring screen
  sleep 1
  e2e_key F1 F10              # round 1, the quiz board
  e2e_wait 10 "the quiz board" quiz_shown
  sleep 0.5
}

board
tile1 tile1-number
tile2 tile2-number
e2e_click 160 185             # tile 1 of issue 0: its first question
e2e_expect "the tile presents its group's first question" 1 "$(used 0 1 1)"
e2e_key Escape Escape         # the quiz closed in the middle of the group

e2e_key F10
e2e_wait 10 "the quiz board" quiz_shown
tile1 tile1-started
e2e_expect "the started tile shows no number" differs "$(same tile1-number tile1-started)"
e2e_click 160 185
e2e_expect "the started tile goes on with its group" 1 "$(used 0 1 2)"
e2e_key Escape

# The matching question of tile 3: its lines lie in the picture beneath the number marks. Pair 13 runs
# from left mark 1 to right mark 3 and passes under the yellow 3.
e2e_click 520 182
e2e_key Return
e2e_expect "the revealed line is drawn" 9 "$(red_line 395 286 636 449)"
e2e_expect "the number mark stands over the line" yes "$(near "#ffff00" 628 444)"
e2e_key Escape Escape

# Issue 6 through the question bank, then the board again.
e2e_key Escape Escape         # the scoring screen and the hub: the main menu
e2e_click 386 383             # area 2: the question bank
e2e_click 70 41
e2e_key ctrl+a 6
e2e_key Escape
board
tile1 tile1-issue6
tile2 tile2-issue6
e2e_expect "another issue shows tile 1's number again" same "$(same tile1-number tile1-issue6)"
e2e_expect "another issue shows tile 2's number again" same "$(same tile2-number tile2-issue6)"

e2e_click 160 185             # the picture question
sleep 1                       # its transition
e2e_expect "the first picture is shown" yes "$(near "#fafaf5" 100 700)"
stage=$(window_ids)
e2e_key Up                    # the picture that is gone
box=$(opened "$stage" "the report of the missing picture")
e2e_expect "the report stands over the bare picture panel, not the last picture" yes "$(near "#c0dcc0" 100 700)"
e2e_expect "the countdown box is in view" yes "$(near "#ffff00" 876 14)"
e2e_key Return
closed "$box" "the report"
e2e_expect "no box stands over the stage" "$stage" "$(window_ids)"
e2e_expect "the broken question stays unasked" 0 "$(used 6 1 2)"

e2e_key Up                    # on with the group
e2e_expect "Up goes on to the next question" 1 "$(used 6 1 3)"
e2e_expect "the broken question is still unasked" 0 "$(used 6 1 2)"
e2e_expect "no second report" "$stage" "$(window_ids)"
e2e_key Up
e2e_key Escape

# The picture back in its folder: the next showing plays it.
pictures="$QUELMORA_HOME/多媒体素材/题目/图片题"
cp "$pictures/数三角形.jpg" "$pictures/不见了.jpg"
e2e_key F10
e2e_wait 10 "the quiz board" quiz_shown
tile1 tile1-left
e2e_expect "the tile with an unasked question shows no number" differs "$(same tile1-number tile1-left)"
e2e_click 160 185
sleep 1
e2e_expect "the mended question is presented" 1 "$(used 6 1 2)"
e2e_expect "its picture is shown" yes "$(near "#fafaf5" 100 700)"
# The quiz's window is made anew at each showing: count the windows.
e2e_expect "no box" "$(echo "$stage" | wc -l)" "$(e2e_windows)"
e2e_end
