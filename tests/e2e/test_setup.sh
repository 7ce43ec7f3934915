#!/usr/bin/env bash
# The setup road on the built program: main menu area 4, three decimals on the system tab, seven judges
# and a new first judge's name, a contestant added to the roster and moved up once, 保 存 and its box
# closed by Enter. The settings file and the roster hold the changes; the scoring screen then stores a
# score with three decimals from seven judges under the new name.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_start

windows_are() { [ "$(e2e_windows)" -eq "$1" ]; }
setting() { iconv -f GBK -t UTF-8 "$QUELMORA_HOME/config/config.ini" | tr -d '\r' | grep -m1 "^$1=" | cut -d= -f2-; }
last=$(e2e_sql "select count(*) from xsb")
[ "$last" -ge 1 ] || e2e_fail "the demo roster is empty"
before=$(e2e_sql "select xm from xsb where bh = $last")

menu=$(e2e_windows)
e2e_click 846 410                     # area 4: the settings screen
e2e_wait 10 "the settings screen" windows_are $((menu + 1))

e2e_click 305 75                      # 得分小数点保留
e2e_key ctrl+a 3

e2e_click 148 18                      # 评委参数设置
e2e_click 130 75                      # 评委个数
e2e_key ctrl+a 7 Tab
e2e_click 166 117                     # the first judge's name
e2e_key ctrl+a
# xdotool maps each Chinese character to a spare key first; a slow pause lets the program hear of the
# new mapping before the key comes, or the first character can be lost on a busy machine.
sleep 0.5
xdotool type --delay 200 "林海"

e2e_click 245 18                      # 选手参数设置
e2e_click 193 582                     # the new contestant's name
xdotool type --delay 60 "周新"
e2e_click 665 580                     # the roster's 保 存
e2e_wait 10 "the new contestant" test "$(e2e_sql "select count(*) from xsb where xm = '周新'")" = 1
e2e_expect "the contestant is added at the end" "$((last + 1))" "$(e2e_sql "select bh from xsb where xm = '周新'")"
e2e_click 150 $((99 + 22 * last))     # its row in the grid, below the last one
e2e_click 705 203                     # 选手上移
e2e_wait 10 "the contestant moved up" test "$(e2e_sql "select bh from xsb where xm = '周新'")" = "$last"
e2e_expect "the contestant it passed is one place lower" "$before" "$(e2e_sql "select xm from xsb where bh = $((last + 1))")"
e2e_expect "the roster is numbered 1..n with no gap" "$((last + 1))|1|$((last + 1))|$((last + 1))" \
  "$(e2e_sql "select count(*) || '|' || min(bh) || '|' || max(bh) || '|' || count(distinct bh) from xsb")"

e2e_click 786 723                     # 保 存
e2e_wait 10 "the saved message" windows_are $((menu + 2))
e2e_key Return
e2e_wait 10 "the main menu" windows_are "$menu"
e2e_expect "config.ini holds three decimals" 3 "$(setting 小数点)"
e2e_expect "config.ini holds seven judges" 7 "$(setting 评委个数)"
e2e_expect "config.ini holds the first judge's name" 林海 "$(setting 1号评委)"

# The scoring screen works with the new settings: three decimals, seven judges, the new name.
e2e_click 157 410                     # area 1: the show hub
e2e_wait 10 "the show hub" windows_are $((menu + 1))
e2e_key F1                            # the scoring screen
e2e_wait 10 "the scoring screen" windows_are $((menu + 2))
sleep 0.5
e2e_key F1 Up F9                      # round 1, contestant 1, the entry panel
e2e_click 857 753                     # 自动生成
sleep 1                               # the panel shows the generated scores
e2e_click 741 753                     # 确 定
e2e_key F7
e2e_wait 10 "the stored score" test "$(e2e_sql "select count(*) from pwdf where lunshu = 1 and bh = 1")" = 1
row=$(e2e_sql "select zhdf, pw1, cast(pw7df as real) > 0, coalesce(pw8df, '') from pwdf where lunshu = 1 and bh = 1")
[[ "$row" =~ ^[0-9]+\.[0-9]{3}\|林海\|1\|$ ]] || e2e_fail "the score is not three decimals from seven judges: $row"
e2e_pass "the score has three decimals, from seven judges under the new name"
e2e_key Escape
e2e_end
