#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Starts the Windows program under Wine on the X display it is given (Wine's own windows
# platform, as a user gets it) and checks it: the main window appears with its title at its
# design size, Ctrl+I opens the instructions (and, with a window manager, brings them back once
# they were minimised), OK returns to the main window, Ctrl+X ends the program.
# SCREENSHOT=FILE keeps a picture of the main window.
# Usage: check_program.sh BUILD PROGRAM.exe   (BUILD: the configured build with the names)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
source "$ROOT/scripts/lib/windows.sh"
load_product "$1"
program="$2" title="$TITLE_MAIN" wine_run="$ROOT/scripts/lib/wine_run"

helper="$(mktemp --suffix=.exe)"
on_exit rm -f "$helper"
build_check_helper "$helper"
"$wine_run" "$program" &
pid=$!
stop_program() { kill "$pid" 2>/dev/null || true; }
on_exit stop_program
fail() {
    echo "windows program: $1" >&2
    exit 1
}

# The first visible window with this title, waited for up to the given seconds. A search can
# fail when a window goes away while xdotool looks at it (BadWindow): then it looks again.
find_window() {
    local found
    for ((tries = 0; tries < $2 * 2; tries++)); do
        found="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)" || true
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.5
    done
    return 1
}

window="$(find_window "$title" 60)" || fail "no window titled \"$title\" appeared"
sleep 1
read -r width height < <(xwininfo -id "$window" |
    awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
# The client area is 608 x 427 below the menu bar; Wine draws the window's frame itself.
if [ "$width" -lt 608 ] || [ "$width" -gt 620 ]; then
    fail "window $width px wide, not 608"
fi
if [ "$height" -le 427 ] || [ "$height" -gt 480 ]; then
    fail "window $height px high"
fi
if [ -n "${SCREENSHOT:-}" ]; then
    import -window "$window" -define png:exclude-chunks=date,time "$SCREENSHOT"
fi

# activate WINDOW: as a click on it would; a window manager that never says so is not waited on.
activate() {
    timeout 10 xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}

activate "$window"
xdotool key --delay 50 ctrl+i
instructions="$(find_window "$TITLE_INSTRUCTIONS" 20)" ||
    fail "Ctrl+I opened no instructions window"

# window_state WINDOW: Normal or Iconic, as the window manager has it.
window_state() {
    xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'
}
# With a window manager: minimised, the instructions come back on Ctrl+I. On Windows they have no
# minimise button; a program can still minimise them, as the helper does. (Wine follows a window
# manager's own minimising only for windows with a minimise button.)
restored=""
if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    "$wine_run" "$helper" minimise "$TITLE_INSTRUCTIONS" || fail "the helper could not minimise"
    for _ in $(seq 40); do
        [ "$(window_state "$instructions")" = Iconic ] && break
        sleep 0.25
    done
    [ "$(window_state "$instructions")" = Iconic ] || fail "the window manager did not minimise"
    activate "$window"
    xdotool key --delay 50 ctrl+i
    for _ in $(seq 40); do
        [ "$(window_state "$instructions")" = Normal ] && break
        sleep 0.25
    done
    [ "$(window_state "$instructions")" = Normal ] ||
        fail "Ctrl+I left the minimised instructions window minimised"
    restored="; the minimised instructions come back"
fi

# OK (Enter) closes the instructions and brings the main window back, where Ctrl+X ends it.
xdotool key --delay 50 Return
sleep 1
xdotool key --delay 50 ctrl+x
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "Ctrl+X did not end the program"
wait "$pid" || fail "the program ended with an error"
echo "windows program: main window ${width}x${height} \"$title\"; Ctrl+I, OK and Ctrl+X" \
    "work$restored"
