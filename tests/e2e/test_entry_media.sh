#!/usr/bin/env bash
# The picture and multimedia entry road on the built program: main menu area 2, issue 5 and group 1; a picture
# question whose two pictures and a multimedia question whose video clip are chosen in the file dialog, both
# saved with their bare file names; the quiz of issue 5 then shows the picture and plays the clip.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_start

media="$QUELMORA_HOME/多媒体素材"
question_picture="$media/题目/图片题/数三角形.jpg"
answer_picture="$media/答案/图片题答案/数三角形答案.jpg"
clip="$media/题目/视频题/小球.avi"
for f in "$question_picture" "$answer_picture" "$clip"; do
  [ -f "$f" ] || e2e_fail "the program folder has no $f"
done

same() { cmp -s "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" && echo same || echo differs; }
# moving X Y W H: whether the region changes between two grabs a little apart within a few seconds. The
# player takes a varying while to start; the ball then rolls in the clip's first three seconds.
moving() {
  local k
  for k in $(seq 20); do
    e2e_grab "$@" "$E2E_TMP/moving-1.png"
    sleep 0.3
    e2e_grab "$@" "$E2E_TMP/moving-2.png"
    [ "$(same moving-1 moving-2)" = differs ] && { echo differs; return; }
  done
  echo same
}
# near COLOUR X Y: whether the screen's pixel is within a few steps of #rrggbb in each channel (the pictures
# are JPEG, so their flat areas are only nearly their painted colour).
near() {
  local got
  got=$("$QUELMORA_E2E_GRAB" --pixel "$2" "$3") || e2e_fail "cannot grab a pixel"
  local i want have
  for i in 1 3 5; do
    want=$((16#${1:i:2}))
    have=$((16#${got:i:2}))
    [ $(((want - have) * (want - have))) -le 100 ] || { echo "$got"; return; }
  done
  echo yes
}
# The program's windows on the screen, one id a line. A video clip adds a window of its own, so a dialog is
# told by its id, not by the number of windows.
window_ids() { xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | sort || true; }
new_windows() { comm -13 <(echo "$1") <(window_ids); }
# opened BEFORE WHAT: waits for a window that was not among BEFORE and prints its id.
opened() {
  local deadline=$((SECONDS + 10)) id
  until id=$(new_windows "$1" | head -n1) && [ -n "$id" ]; do
    [ "$SECONDS" -lt "$deadline" ] || e2e_fail "timed out waiting for $2"
    sleep 0.1
  done
  echo "$id"
}
closed() { e2e_wait 10 "$2 to close" bash -c "! xdotool search --onlyvisible --pid $E2E_APP_PID | grep -qx $1"; }
# gone ID SECONDS: whether window ID leaves the screen within SECONDS.
gone() {
  local deadline=$((SECONDS + $2))
  while xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | grep -qx "$1"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
# choose_file BUTTON_X BUTTON_Y PATH: the file dialog behind a button, answered with a typed full path.
choose_file() {
  local before dialog
  before=$(window_ids)
  e2e_click "$1" "$2"
  dialog=$(opened "$before" "the file dialog")
  # A busy machine may show the dialog before it takes the keyboard: type again while it stays open.
  local try
  for try in 1 2 3; do
    sleep $((try))
    xdotool key --delay 30 ctrl+a
    xdotool type --delay 30 "$3"
    sleep 0.3
    e2e_key Return
    gone "$dialog" 8 && break
  done
  closed "$dialog" "the file dialog"
  sleep 0.5
}
# save WHAT: 保 存, then the saved message closed with Enter.
save() {
  local before box
  before=$(window_ids)
  e2e_click 960 28
  box=$(opened "$before" "the message of $1")
  e2e_key Return
  closed "$box" "the message of $1"
}

e2e_click 386 383                     # area 2: the question bank
e2e_click 70 41                       # the issue box
e2e_key ctrl+a 5
e2e_click 270 41                      # the group list
e2e_key ctrl+a 1
xdotool mousemove 500 300 click 3     # the grid's menu: its first item adds a question
sleep 0.8
e2e_key Down Return
sleep 1

# The type list: 选择题, 问答题, 图片题, 连线题, 多媒体题.
e2e_click 69 49
e2e_key Down Down Return
choose_file 326 52 "$question_picture"          # 选择题目图片
e2e_expect "the chosen question picture is on the page" yes "$(near '#ffeca0' 250 544)"
choose_file 506 52 "$answer_picture"            # 选择答案图片
save "the picture question"

e2e_click 69 49
e2e_key Down Down Return
e2e_grab 900 0 124 94 "$E2E_TMP/bar-before.png"   # 保 存 and 退 出
choose_file 326 52 "$clip"                      # 选择题目内容
sleep 1
e2e_grab 900 0 124 94 "$E2E_TMP/bar-during.png"
e2e_expect "the preview leaves the buttons in sight" same "$(same bar-before bar-during)"
save "the multimedia question"

e2e_expect "both questions are stored with bare names" \
  "5|1|1|图片题|数三角形.jpg|数三角形答案.jpg|0
5|1|2|多媒体题|小球.avi||0" \
  "$(e2e_sql "select qs || '|' || tmfz || '|' || ctsx || '|' || tmlx || '|' || tmmc || '|' || ifnull(danr, '') || '|' || tmyes
              from tiku where qs = 5 order by ctsx")"

e2e_click 960 68                      # 退 出: the maintenance screen
e2e_key Escape                        # the main menu, now on issue 5

# The quiz of issue 5: group 1 holds the two new questions.
e2e_click 157 410                     # area 1: the show hub
e2e_key F1                            # the scoring screen
e2e_key F1 F10                        # round 1, the quiz board
e2e_grab 0 0 1024 768 "$E2E_TMP/board.png"
e2e_click 160 185                     # tile 1: group 1
sleep 1.2                             # the picture's transition
e2e_grab 0 0 1024 768 "$E2E_TMP/picture.png"
e2e_expect "the tile shows a question over the board" differs "$(same board picture)"
e2e_expect "the question picture is on the screen" yes "$(near '#ffeca0' 320 560)"
e2e_expect "the picture question is used" 1 "$(e2e_sql "select tmyes from tiku where qs = 5 and ctsx = 1")"

e2e_key Up                            # the group's next question: the clip
e2e_expect "the clip plays" differs "$(moving 300 200 400 300)"
e2e_expect "the multimedia question is used" 1 "$(e2e_sql "select tmyes from tiku where qs = 5 and ctsx = 2")"
e2e_end
