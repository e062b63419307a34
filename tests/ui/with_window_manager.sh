#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Runs a command on the current X display with a window manager (openbox) running, as a user's
# desktop has one: it frames, minimises and restores the windows. The window manager ends with
# the command.
# Usage: with_window_manager.sh COMMAND...
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
    echo "with_window_manager: no X display" >&2
    exit 1
fi
command -v openbox >/dev/null || { echo "with_window_manager: openbox is missing" >&2; exit 1; }

work="$(mktemp -d)"
# Openbox's defaults, from a file of its own: an empty or missing one puts an error window of
# openbox's on the display, and it takes the keyboard.
echo '<openbox_config xmlns="http://openbox.org/3.4/rc"/>' >"$work/rc.xml"
openbox --sm-disable --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
wm=$!
cleanup() {
    kill "$wm" 2>/dev/null || true
    wait "$wm" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Ready once it names itself on the root window.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "$wm" 2>/dev/null || { cat "$work/openbox.log" >&2; exit 1; }
    sleep 0.1
done
"$@"
