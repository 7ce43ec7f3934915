#!/usr/bin/env bash
# Editing picture and multimedia questions on the built program: issue 7 holds a picture question, a Flash
# question and a video question. The first two are opened from the maintenance grid and saved once without
# choosing a file (their stored names stay) and once with another file chosen in the dialog (the new bare name
# is stored, the other kept); the clip of the third plays on the page each time it is opened.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768

media="$QUELMORA_HOME/多媒体素材"
# Another answer picture and the sound lie in their folders, as the organiser puts them there.
cp "$media/答案/图片题答案/数三角形答案.jpg" "$media/答案/图片题答案/三角形新答案.jpg"
new_answer="$media/答案/图片题答案/三角形新答案.jpg"
sound="$media/题目/音频题/旋律.wav"
e2e_sql "insert into tiku (qs, tmfz, ctsx, tmlx, tmmc, danr, tmyes) values
           (7, '1', 1, '图片题', '数三角形.jpg', '数三角形答案.jpg', 0),
           (7, '1', 2, '多媒体题', '星星.swf', null, 1),
           (7, '1', 3, '多媒体题', '小球.avi', null, 0)"
files() { (cd "$media" && find . -type f | sort); }
files_before=$(files)
stored() { e2e_sql "select tmmc || '|' || ifnull(danr, '') || '|' || tmyes from tiku where qs = 7 and ctsx = $1"; }
# edit ROW: the maintenance grid's row ROW opened in the entry screen.
edit() {
  e2e_click 600 $((136 + 24 * ($1 - 1)))
  grid_menu 2                         # ---修改题目---
}
leave() { e2e_click 960 68; }         # 退 出: back on the maintenance screen

e2e_start
open_bank 7 1
e2e_click 415 41                      # 查 询

edit 1
e2e_expect "the edit shows the stored question picture" yes "$(near '#ffeca0' 250 544)"
save "the picture question unchanged"
e2e_expect "nothing chosen keeps both stored names" "数三角形.jpg|数三角形答案.jpg|0" "$(stored 1)"
leave
edit 1
choose_file 506 52 "$new_answer"      # 选择答案图片
save "the picture question with a new answer"
e2e_expect "the chosen answer picture is stored, the question picture kept" "数三角形.jpg|三角形新答案.jpg|0" "$(stored 1)"
leave

edit 2
save "the Flash question unchanged"
e2e_expect "nothing chosen keeps the stored movie" "星星.swf||1" "$(stored 2)"
leave
edit 2
choose_file 326 52 "$sound"           # 选择题目内容
save "the multimedia question with a sound"
e2e_expect "the chosen sound is stored" "旋律.wav||1" "$(stored 2)"
e2e_expect "no file was copied, moved or removed" "$files_before" "$(files)"
leave

# The clip is loaded as the screen opens, before its window is on the display; then once more after the
# screen was closed.
for visit in first second; do
  edit 3
  e2e_expect "the stored clip plays on the page at the $visit opening" differs "$(moving 300 200 400 300)"
  leave
done
e2e_end
