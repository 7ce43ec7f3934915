#!/usr/bin/env bash
# The picture and multimedia entry road on the built program: main menu area 2, issue 5 and group 1; a picture
# question whose two pictures, and multimedia questions whose video clip, sound and Flash movie are chosen in
# the file dialog, all saved with their bare file names; the quiz of issue 5 then shows the picture, plays
# the clip, presents the sound and plays the movie.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_start

media="$QUELMORA_HOME/多媒体素材"
question_picture="$media/题目/图片题/数三角形.jpg"
answer_picture="$media/答案/图片题答案/数三角形答案.jpg"
clip="$media/题目/视频题/小球.avi"
sound="$media/题目/音频题/旋律.wav"
movie="$media/题目/flash题/星星.swf"
for f in "$question_picture" "$answer_picture" "$clip" "$sound" "$movie"; do
  [ -f "$f" ] || e2e_fail "the program folder has no $f"
done
# changes_within SECONDS REF X Y W H: whether the region comes to differ from the grab REF within SECONDS
# (the Flash emulator starts on first use).
changes_within() {
  local deadline=$((SECONDS + $1)) ref=$2
  shift 2
  while [ "$SECONDS" -lt "$deadline" ]; do
    e2e_grab "$@" "$E2E_TMP/now.png"
    [ "$(same "$ref" now)" = differs ] && { echo differs; return; }
    sleep 0.5
  done
  echo same
}

open_bank 5 1
grid_menu 1                                     # ---添加题目---

choose_type 3                                   # 图片题
choose_file 326 52 "$question_picture"          # 选择题目图片
e2e_expect "the chosen question picture is on the page" yes "$(near '#ffeca0' 250 544)"
choose_file 506 52 "$answer_picture"            # 选择答案图片
save "the picture question"

choose_type 5                                   # 多媒体题
e2e_grab 900 0 124 94 "$E2E_TMP/bar-before.png"   # 保 存 and 退 出
e2e_grab 300 200 400 300 "$E2E_TMP/play-area.png"
choose_file 326 52 "$clip"                      # 选择题目内容
e2e_expect "the preview plays the clip" differs "$(moving 300 200 400 300)"
e2e_grab 900 0 124 94 "$E2E_TMP/bar-during.png"
e2e_expect "the preview leaves the buttons in sight" same "$(same bar-before bar-during)"
save "the video question"
e2e_grab 300 200 400 300 "$E2E_TMP/after-video.png"
e2e_expect "the save ends the video preview" same "$(same play-area after-video)"

choose_file 326 52 "$sound"
save "the sound question"

choose_file 326 52 "$movie"
e2e_expect "the Flash preview covers the play area" differs "$(changes_within 12 play-area 300 200 400 300)"
save "the Flash question"
e2e_grab 300 200 400 300 "$E2E_TMP/after-flash.png"
e2e_expect "the save hides the Flash preview" same "$(same play-area after-flash)"

e2e_expect "the questions are stored with bare names" \
  "5|1|1|图片题|数三角形.jpg|数三角形答案.jpg|0
5|1|2|多媒体题|小球.avi||0
5|1|3|多媒体题|旋律.wav||0
5|1|4|多媒体题|星星.swf||0" \
  "$(e2e_sql "select qs || '|' || tmfz || '|' || ctsx || '|' || tmlx || '|' || tmmc || '|' || ifnull(danr, '') || '|' || tmyes
              from tiku where qs = 5 order by ctsx")"

e2e_click 960 68                      # 退 出: the maintenance screen
e2e_key Escape                        # the main menu, now on issue 5

# The quiz of issue 5: group 1 holds the four new questions.
e2e_click 157 410                     # area 1: the show hub
e2e_key F1                            # the scoring screen
sleep 1.5                             # it comes up slowly beside the running Flash player
e2e_key F1 F10                        # round 1, the quiz board
e2e_wait 10 "the quiz board" xdotool search --onlyvisible --name '^选题'
sleep 0.5
e2e_grab 0 0 1024 768 "$E2E_TMP/board.png"
e2e_click 160 185                     # tile 1: group 1
sleep 1.2                             # the picture's transition
e2e_grab 0 0 1024 768 "$E2E_TMP/picture.png"
e2e_expect "the tile shows a question over the board" differs "$(same board picture)"
e2e_expect "the question picture is on the screen" yes "$(near '#ffeca0' 320 560)"
e2e_expect "the picture question is used" 1 "$(e2e_sql "select tmyes from tiku where qs = 5 and ctsx = 1")"

e2e_key Up                            # the group's next question: the clip
e2e_expect "the clip plays" differs "$(moving 300 200 400 300)"
e2e_expect "the video question is used" 1 "$(e2e_sql "select tmyes from tiku where qs = 5 and ctsx = 2")"

e2e_key Up                            # the sound: the multimedia panel without a picture
sleep 1
e2e_grab 300 200 400 300 "$E2E_TMP/sound.png"
e2e_expect "the sound question is used" 1 "$(e2e_sql "select tmyes from tiku where qs = 5 and ctsx = 3")"
e2e_expect "the sound shows no moving picture" same "$(moving 300 200 400 300)"

e2e_key Up                            # the Flash movie covers the screen
e2e_expect "the Flash movie covers the multimedia panel" differs "$(changes_within 12 sound 300 200 400 300)"
e2e_expect "the Flash question is used" 1 "$(e2e_sql "select tmyes from tiku where qs = 5 and ctsx = 4")"
e2e_end
