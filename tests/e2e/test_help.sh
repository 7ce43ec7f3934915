#!/usr/bin/env bash
# The help button on the built program: with xchm made the program for .chm files, as ./setup.sh makes it,
# the main menu's help button opens the compiled guide in a viewer window named after the guide, and the
# menu stays on the stage.
. "$(dirname "$0")/lib.sh"
e2e_begin 1024x768

command -v xchm >/dev/null || e2e_fail "xchm is not installed (./setup.sh installs it)"
[ -f "$QUELMORA_HOME/帮助/帮助.chm" ] || e2e_fail "the program folder has no 帮助/帮助.chm"
# A fresh desktop configuration, set up as ./setup.sh sets it.
export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"
xdg-mime default xchm.desktop application/vnd.ms-htmlhelp application/x-chm
e2e_expect "xchm opens .chm files" xchm.desktop "$(xdg-mime query default application/vnd.ms-htmlhelp)"

viewer_windows() { xdotool search --onlyvisible --name 'Quelmora 操作指南' 2>/dev/null || true; }
e2e_start
before=$(e2e_windows)
e2e_click 775 36 # button_help
e2e_wait 30 "the guide's viewer window" xdotool search --onlyvisible --name 'Quelmora 操作指南'
window=$(viewer_windows | head -n1)
e2e_pass "the help button opens a window named $(xdotool getwindowname "$window")"
viewer=$(xdotool getwindowpid "$window" 2>/dev/null || true)
sleep 2
e2e_grab 0 0 1024 768 "$E2E_TMP/guide.png"
[ -n "${QUELMORA_E2E_KEEP:-}" ] && cp "$E2E_TMP/guide.png" "$QUELMORA_E2E_KEEP/help-guide.png"
e2e_expect "no box beside the viewer" "$before" "$(e2e_windows)"
xdotool search --onlyvisible --name '^Quelmora$' >/dev/null || e2e_fail "the main menu has gone"
[ -n "$viewer" ] && kill "$viewer" 2>/dev/null || true
e2e_end
