#!/usr/bin/env bash
# The authoring road on the built program, beside its demo bank in issue 0: main menu area 2, issue 3 and
# group 1, a choice question added through the grid's context menu, seen in the grid, marked used with a
# double click, exported to issue 4 group 2; the main menu then shows issue 3. Back on the maintenance
# screen, a right click's menu acts on the row under the mouse; an emptied issue box, left with Esc, makes
# the menu read issue 0, and the next visit works on issue 0.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_start

e2e_grab 387 613 203 37 "$E2E_TMP/label-before.png"
e2e_click 386 383                     # area 2: the question bank
e2e_click 70 41                       # the issue box
e2e_key ctrl+a 3
e2e_click 270 41                      # the group list
e2e_key ctrl+a 1
windows=$(e2e_windows)

# A right click on the empty grid opens its menu; its first item adds a question.
xdotool mousemove 500 300 click 3
sleep 0.8
e2e_key Down Return
sleep 1
e2e_click 500 230                     # the question editor
xdotool type --delay 40 "Which city is the capital?"
e2e_click 713 414                     # option B's editor
xdotool type --delay 40 "Paris"
e2e_click 567 414                     # option B's letter: the correct answer
e2e_click 960 28                      # 保 存
e2e_wait 10 "the saved message" bash -c "[ \$(xdotool search --onlyvisible --pid $E2E_APP_PID | wc -l) -gt $windows ]"
e2e_key Return
e2e_expect "the question is stored" "3|1|1|选择题|Which city is the capital?|Paris|B|0" \
  "$(e2e_sql "select qs || '|' || tmfz || '|' || ctsx || '|' || tmlx || '|' || tmmc || '|' || da2 || '|' || zqda || '|' || tmyes from tiku where qs = 3")"
e2e_click 960 68                      # 退 出: back on the maintenance screen
e2e_click 415 41                      # 查 询
e2e_grab 360 124 200 24 "$E2E_TMP/row.png"
e2e_grab 360 400 200 24 "$E2E_TMP/empty.png"
cmp -s "$E2E_TMP/row.png" "$E2E_TMP/empty.png" && e2e_fail "the grid shows no question"
e2e_pass "the grid shows the question"

xdotool mousemove 600 136 click --repeat 2 --delay 80 1
sleep 0.8
e2e_expect "a double click marks it used" 1 "$(e2e_sql "select tmyes from tiku where qs = 3")"

# The selected question copied into issue 4, group 2 through the export panel.
e2e_click 520 41                      # 题目导出
e2e_click 370 341                     # the target issue
e2e_key ctrl+a 4
e2e_click 571 341                     # the target group
e2e_key ctrl+a 2
windows=$(e2e_windows)
e2e_click 442 395                     # 导出题目
e2e_wait 10 "the export's message" bash -c "[ \$(xdotool search --onlyvisible --pid $E2E_APP_PID | wc -l) -gt $windows ]"
e2e_key Return
e2e_expect "the export copies it unused" "4|2|1|Paris|B|0" \
  "$(e2e_sql "select qs || '|' || tmfz || '|' || ctsx || '|' || da2 || '|' || zqda || '|' || tmyes from tiku where qs = 4")"

e2e_key Escape
e2e_grab 387 613 203 37 "$E2E_TMP/label-after.png"
cmp -s "$E2E_TMP/label-before.png" "$E2E_TMP/label-after.png" && e2e_fail "the main menu still shows issue 0"
e2e_pass "the main menu shows the new issue"

# Issue 0, group 1 of the demo bank: two questions, unused. The first is selected; the menu of a right
# click on the second marks the second.
e2e_click 386 383                     # area 2
e2e_click 70 41
e2e_key ctrl+a 0
e2e_click 270 41
e2e_key ctrl+a 1
e2e_expect "the demo group starts unused" "0 0" "$(e2e_sql "select tmyes from tiku where qs = 0 and tmfz = '1' order by ctsx" | xargs)"
e2e_click 600 136                     # the first row
xdotool mousemove 600 160 click 3     # the second row's menu
sleep 0.8
e2e_key Down Down Down Down Return    # ---设为已出---
sleep 0.5
e2e_expect "the menu marks the row under the mouse" "0 1" "$(e2e_sql "select tmyes from tiku where qs = 0 and tmfz = '1' order by ctsx" | xargs)"

# Issue 5, then the box emptied and Esc: the menu reads issue 0 again.
e2e_click 70 41
e2e_key ctrl+a 5 ctrl+a BackSpace Escape
sleep 0.5
e2e_grab 387 613 203 37 "$E2E_TMP/label-emptied.png"
cmp -s "$E2E_TMP/label-before.png" "$E2E_TMP/label-emptied.png" || e2e_fail "the main menu does not show issue 0"
e2e_pass "an emptied issue box makes the main menu show issue 0"
e2e_click 386 383                     # the next visit: group 1 of the box's issue
e2e_click 270 41
e2e_key ctrl+a 1
e2e_grab 360 148 200 24 "$E2E_TMP/second-row.png"
cmp -s "$E2E_TMP/second-row.png" "$E2E_TMP/empty.png" && e2e_fail "the next visit is not on issue 0"
e2e_pass "the next visit works on issue 0"
e2e_end
