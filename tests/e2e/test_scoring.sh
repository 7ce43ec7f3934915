#!/usr/bin/env bash
# The judged road on the built program: the issue label at start-up, one score stored, a held F7 that
# stores once, error boxes closed by Enter and by Esc that act no further, and a presenter's Shift+Delete
# chord that empties the round.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768
e2e_start

# The label reads issue 0 before any input: a click (which activates the window) changes nothing on it.
e2e_grab 387 613 203 37 "$E2E_TMP/label-before.png"
e2e_click 900 200
e2e_grab 387 613 203 37 "$E2E_TMP/label-after.png"
cmp -s "$E2E_TMP/label-before.png" "$E2E_TMP/label-after.png" || e2e_fail "the issue label changed on the first click"
e2e_pass "the issue label is set at start-up"

rows() { e2e_sql "select count(*) from pwdf where lunshu = 1"; }
# Every store replaces the row under a new id: the table's sequence counts the stores.
stores() { e2e_sql "select coalesce((select seq from sqlite_sequence where name = 'pwdf'), 0)"; }

e2e_click 157 410             # area 1: the show hub
e2e_key F1                    # the scoring screen
e2e_key F1 Up F9              # round 1, contestant 1, the entry panel
e2e_click 857 753             # 自动生成
sleep 1
e2e_click 741 753             # 确 定
e2e_key F7
e2e_expect "F7 stores the contestant's row" 1 "$(rows)"
e2e_key Escape

# A held F7 stores once more, not once per auto-repeat.
before=$(stores)
e2e_hold F7 1.5
e2e_expect "a held F7 stores once" $((before + 1)) "$(stores)"
e2e_key Escape

e2e_key Up F9
e2e_click 857 753
sleep 1
e2e_click 741 753
e2e_key F7 Escape
e2e_expect "two contestants scored" 2 "$(rows)"

# A held Up moves one contestant: contestant 3 is scored next, not a later one.
e2e_hold Up 1.5
e2e_key F9
e2e_click 857 753
sleep 1
e2e_click 741 753
e2e_key F7 Escape
e2e_expect "a held Up moves one contestant" 3 "$(e2e_sql "select max(bh) from pwdf where lunshu = 1")"

# A key that closes an error box ends there. The database is held locked so that F7 fails; the lock is
# let go while the box is up, so an F7 reaching the screen again would store at once.
lock_database() {
  rm -f "$E2E_TMP/lock"
  mkfifo "$E2E_TMP/lock"
  sqlite3 "$E2E_DB" <"$E2E_TMP/lock" >/dev/null 2>&1 &
  LOCK_PID=$!
  exec 4>"$E2E_TMP/lock"
  echo "begin exclusive;" >&4
  e2e_wait 10 "the database lock" bash -c "! sqlite3 '$E2E_DB' 'begin immediate; rollback;'"
}
unlock_database() {
  echo "rollback;" >&4
  exec 4>&-
  wait "$LOCK_PID" 2>/dev/null || true
}
for closer in Return Escape; do
  lock_database
  before=$(stores)
  windows=$(e2e_windows)
  xdotool key F7
  e2e_wait 20 "the error box of a locked database" bash -c "[ \$(xdotool search --onlyvisible --pid $E2E_APP_PID | wc -l) -gt $windows ]"
  unlock_database
  e2e_key "$closer"
  sleep 1
  e2e_expect "$closer closes the box and acts no further: no box" "$windows" "$(e2e_windows)"
  e2e_expect "$closer closes the box and acts no further: nothing stored" "$before" "$(stores)"
  # The screen is still there with its contestant: F7 now stores.
  e2e_key Escape F7
  e2e_expect "after $closer the scoring screen still stores" $((before + 1)) "$(stores)"
  e2e_key Escape
done

# A presenter's chord: Shift+Delete deletes the whole round, not one row.
xdotool key shift+Delete
sleep 0.8
e2e_expect "Shift+Delete empties the round" 0 "$(rows)"

e2e_end
