#!/usr/bin/env bash
# The judges' phones on the built program: the link turned on at the keypad page, three seats paired by
# their QR codes in a real browser, three phone scores in the entry panel and stored by 确 定 and F7, the
# next contestant on every phone, and a late score for the previous one dropped and kept in the audit.
# The phones are Debian's chromium, headless, driven by tests/e2e/phones.mjs through playwright-core.
here=$(cd "$(dirname "$0")" && pwd)
for tool in /usr/bin/chromium node npm zbarimg; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
. "$here/lib.sh"

e2e_begin 1024x768
npm_folder=${QUELMORA_E2E_NPM:-$E2E_TMP/npm}
mkdir -p "$npm_folder"
if [ ! -f "$npm_folder/node_modules/playwright-core/package.json" ]; then
  ( cd "$npm_folder" && { [ -f package.json ] || echo '{"name":"quelmora-e2e-phones","private":true}' >package.json; } &&
    npm install --no-audit --no-fund --loglevel=error playwright-core@1.65.2 ) || e2e_fail "npm could not install playwright-core"
fi

# Three judges (the names stay the demo's), and a port nobody listens on.
config="$QUELMORA_HOME/config/config.ini"
iconv -f GB18030 -t UTF-8 "$config" | sed 's/^评委个数=.*/评委个数=3\r/' | iconv -f UTF-8 -t GB18030 >"$E2E_TMP/config.ini"
cp "$E2E_TMP/config.ini" "$config"
judge_name() { iconv -f GB18030 -t UTF-8 "$config" | sed -n "s/^$1号评委=\(.*\)\r\$/\1/p"; }
port_free() { ! (exec 6<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
while port=$(shuf -i 20000-40000 -n 1) && ! port_free "$port"; do :; done

# The phones: commands through a fifo, answers in a log.
mkfifo "$E2E_TMP/phones-in"
node "$here/phones.mjs" "$npm_folder" <"$E2E_TMP/phones-in" >"$E2E_TMP/phones.log" 2>&1 &
exec 5>"$E2E_TMP/phones-in"
# The phones end when their input does (the browser's own signal handler closes it but keeps node alive).
trap 'exec 5>&-; e2e_cleanup' EXIT
# The phones' answers, their seats' tokens left out.
show_phones() { sed 's/#t=[^ ]*/#t=.../g' "$E2E_TMP/phones.log" >&2; }
# phones COMMAND...: one command to the phones, waited for.
phones() {
  local asked=$* from
  from=$(wc -l <"$E2E_TMP/phones.log")
  echo "$asked" >&5
  local deadline=$((SECONDS + 40)) answer
  until answer=$(tail -n +$((from + 1)) "$E2E_TMP/phones.log" | grep -m1 -E "^(done|fail) ") && [ -n "$answer" ]; do
    [ "$SECONDS" -lt "$deadline" ] || { show_phones; e2e_fail "the phones never answered '$asked'"; }
    sleep 0.1
  done
  [ "$answer" = "done $asked" ] || { show_phones; e2e_fail "phones: $answer"; }
}

e2e_start

# Area 3, the keypad page; its tab 手机评分: loopback (the last address), the port typed, 开启.
e2e_click 615 410
e2e_click 372 15
e2e_click 277 177             # the address list
xdotool key End
sleep 0.2
e2e_key Return
xdotool mousemove 200 220 click --repeat 3 1
sleep 0.3
xdotool type --delay 60 "$port"
e2e_key Tab
e2e_click 211 265             # 开启
e2e_wait 10 "the link on port $port" bash -c "exec 6<>/dev/tcp/127.0.0.1/$port"
e2e_pass "开启 listens on 127.0.0.1 port $port"

# The first tab: each seat's QR code, read off the screen.
e2e_click 60 15
lamp_x=(0 196 372 556 724)
lamp_y=143
urls=()
for seat in 1 2 3; do
  e2e_click "${lamp_x[$seat]}" "$lamp_y"
  sleep 0.5
  e2e_grab 782 71 234 300 "$E2E_TMP/qr$seat.png"
  url=$(zbarimg --raw -q "$E2E_TMP/qr$seat.png") || e2e_fail "no QR code on screen for seat $seat"
  case "$url" in
    "http://127.0.0.1:$port/"*"#t="*) ;;
    *) e2e_fail "seat $seat's QR code holds '$url'" ;;
  esac
  urls+=("$url")
done
[ "$(printf '%s\n' "${urls[@]}" | sort -u | wc -l)" = 3 ] || e2e_fail "two seats share a join address"
e2e_pass "three seats show three join addresses"

phones open "${urls[@]}"
for seat in 1 2 3; do
  phones judge "$seat" "$(judge_name "$seat")"
done
e2e_pass "each phone shows its seat and its judge's name"
sleep 1
for seat in 1 2 3; do
  e2e_expect "seat $seat's circle is green" yes "$(near '#00ff00' $((lamp_x[seat] - 20)) $lamp_y)"
done
# Three judges: seat 4 is no judge's and is not offered; its lamp stays the keypad's red.
e2e_expect "a seat beyond the contest's judges is not offered" yes "$(near '#ff0000' $((lamp_x[4] - 20)) $lamp_y)"

# The hub, the scoring screen, round 1, the first contestant: the phones show that contestant.
e2e_key Escape
e2e_click 157 410
e2e_key F1 F1 Up
phones contestant "^1号\\s+$(e2e_sql "select xm from xsb where bh = 1")\$"
e2e_pass "the phones show contestant 1"

phones score 1 9.25
phones score 2 8.5
phones score 3 7
e2e_key F9
sleep 0.5
for seat in 1 2 3; do
  e2e_expect "box $seat is marked as from a phone" yes "$(near '#bee1ff' $((205 + (seat - 1) * 100)) 736)"
done
e2e_click 741 753             # 确 定
e2e_expect "nothing is stored before F7" 0 "$(e2e_sql "select count(*) from pwdf where bh = 1")"
e2e_key F7
row=$(e2e_sql "select pw1df || ' ' || pw2df || ' ' || pw3df from pwdf where lunshu = 1 and bh = 1")
e2e_expect "F7 stores the phones' scores" "9.25 8.5 7" "$row"
e2e_key Escape

# The next contestant on every phone; a late score for the first one is dropped and audited.
e2e_key Up
phones contestant "^2号\\s+$(e2e_sql "select xm from xsb where bh = 2")\$"
e2e_pass "the phones show contestant 2"
phones late 2 6.5
e2e_pass "the phone says its late score was not counted"
phones score 2 6
e2e_pass "the same phone then scores the new contestant"
audit() { e2e_sql "select pw || ' ' || lunshu || ' ' || bh || ' ' || fs || ' ' || jg from sjpf where fs = '6.5'"; }
e2e_wait 10 "the audit row" bash -c "[ -n \"\$(sqlite3 '$E2E_DB' \"select 1 from sjpf where fs = '6.5'\")\" ]"
e2e_expect "the audit keeps the dropped score" "2 1 1 6.5 other_performance" "$(audit)"
e2e_expect "the late score reached no row" 0 "$(e2e_sql "select count(*) from pwdf where bh = 2")"
e2e_expect "the audit keeps the three taken scores" "1:9.25 2:8.5 3:7" \
  "$(e2e_sql "select group_concat(pw || ':' || fs, ' ') from (select pw, fs from sjpf where jg = 'accepted' and lunshu = 1 and bh = 1 order by pw)")"

# No seat's token went into the program's output.
for url in "${urls[@]}"; do
  ! grep -qF "${url#*#t=}" "$E2E_TMP/app.log" || e2e_fail "a seat's token is in the program's output"
done
e2e_pass "no token in the program's output"

phones quit
exec 5>&-
e2e_end
