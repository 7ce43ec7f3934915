#!/usr/bin/env bash
# The matching entry road on the built program: main menu area 2, issue 6 and group 1; a matching question
# added by clicking left 3, right 1, left 5, right 2, its red lines on the page, its stored pair codes; opened
# again from the grid, its connections cleared and left 4 joined to right 1: the edit stores 41 alone, the
# cleared 52 is gone; the quiz of issue 6 then reveals exactly the line of 41.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_start

# Centres of the entry page's number buttons (31 x 44, their places plus 16 and 22); the page fills the
# screen. left N / right N print "X Y".
left() { local y=(0 283 364 444 527 606); echo "$((${1} < 3 ? 392 : 393)) ${y[$1]}"; }
right() { local x=(0 631 631 632 632 632) y=(0 282 364 444 529 607); echo "${x[$1]} ${y[$1]}"; }
# The quiz's marks stand elsewhere, and its lines lie 4 pixels right of and below their centres.
quiz_left() { local x=(0 395 395 396 396 396) y=(0 286 367 447 530 609); echo "${x[$1]} ${y[$1]}"; }
quiz_right() { local x=(0 635 635 636 636 636) y=(0 287 369 449 534 612); echo "${x[$1]} ${y[$1]}"; }
# line L R: the red places on the line from left number L to right number R of the entry page.
line() { red_line $(left "$1") $(right "$2"); }
quiz_line() { red_line $(quiz_left "$1") $(quiz_right "$2"); }
click_left() { e2e_click $(left "$1"); }
click_right() { e2e_click $(right "$1"); }
pairs() { e2e_sql "select ifnull(da1, '') || '|' || ifnull(da2, '') || '|' || ifnull(da3, '') || '|' || ifnull(da4, '') || '|' || ifnull(da5, '') from tiku where qs = 6"; }

open_bank 6 1
grid_menu 1                           # ---添加题目---
choose_type 4                         # 连线题
e2e_click 500 160                     # the question editor
xdotool type --delay 40 "Match the capitals"
for k in 1 2 3 4 5; do
  e2e_click 170 $((250 + 81 * (k - 1) + 28))   # left item k
  xdotool type --delay 40 "L$k"
  e2e_click 840 $((250 + 81 * (k - 1) + 28))   # right item k
  xdotool type --delay 40 "R$k"
done

click_left 3
click_right 1
click_left 5
click_right 2
e2e_expect "left 3 to right 1 is drawn" 9 "$(line 3 1)"
e2e_expect "left 5 to right 2 is drawn" 9 "$(line 5 2)"
e2e_expect "no line from left 1 to right 1" 0 "$(line 1 1)"
e2e_expect "no line from left 5 to right 5" 0 "$(line 5 5)"
e2e_grab 0 0 1024 768 "$E2E_TMP/drawn.png"
save "the matching question"
e2e_expect "the question is stored with its pair codes" \
  "6|1|1|连线题|Match the capitals|31|52||||L3|R5|0" \
  "$(e2e_sql "select qs || '|' || tmfz || '|' || ctsx || '|' || tmlx || '|' || tmmc || '|' || da1 || '|' || da2 || '|' ||
              ifnull(da3, '') || '|' || ifnull(da4, '') || '|' || ifnull(da5, '') || '|' || lxz3 || '|' || lxy5 || '|' || tmyes
              from tiku where qs = 6")"
e2e_expect "the save erases the lines" 0 "$(line 3 1)"

# Opened again from the grid: the stored connections are drawn again.
e2e_click 960 68                      # 退 出
e2e_click 415 41                      # 查 询
e2e_click 600 136                     # the question's row
grid_menu 2                           # ---修改题目---
e2e_expect "the edit draws left 3 to right 1 again" 9 "$(line 3 1)"
e2e_expect "the edit draws left 5 to right 2 again" 9 "$(line 5 2)"
xdotool mousemove 512 228 click 3     # the page picture's menu: 清除连线
sleep 0.8
e2e_key Down Down Return
e2e_expect "清除连线 erases the lines" "0 0" "$(line 3 1) $(line 5 2)"
click_left 4
click_right 1
e2e_expect "left 4 to right 1 is drawn" 9 "$(line 4 1)"
save "the edit"
e2e_expect "the edit stores 41 and takes the cleared 52 away" "41||||" "$(pairs)"

e2e_click 960 68                      # 退 出: the maintenance screen
e2e_key Escape                        # the main menu, now on issue 6

# The quiz of issue 6: tile 1 opens group 1, whose one question is the matching question.
e2e_click 157 410                     # area 1: the show hub
e2e_key F1                            # the scoring screen
e2e_key F1 F10                        # round 1, the quiz board
e2e_click 160 185                     # tile 1: group 1
sleep 1
e2e_expect "the quiz shows no line before the answer" "0 0 0" "$(quiz_line 4 1) $(quiz_line 5 2) $(quiz_line 3 1)"
e2e_key Return                        # reveals the connections
e2e_expect "the quiz reveals left 4 to right 1" 9 "$(quiz_line 4 1)"
e2e_expect "the quiz draws no line the edit took away" "0 0" "$(quiz_line 3 1) $(quiz_line 5 2)"
e2e_expect "the matching question is used" 1 "$(e2e_sql "select tmyes from tiku where qs = 6")"
e2e_end
