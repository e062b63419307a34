# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# The window checks in Wayland sessions, on real compositors: KWin's virtual backend (its X11
# backend in a private Xvfb where it cannot paint with OpenGL), weston on its X11 backend and
# GNOME's mutter nested, in private Xvfbs (tests/wayland/window_checks.py starts them).
# shellcheck shell=bash disable=SC2034  # its variables are read by the scripts that source it

# KWin with its usual title bars (breeze), weston, mutter, Xwayland and Qt's Wayland platform; a
# D-Bus session and dbus-send (KWin's scripting); the fake-input protocol's XML and the Wayland
# scanner for the client that types into KWin; Debian's python3 with its D-Bus binding (KWin's
# screenshots) and Pillow; Xvfb, which weston and mutter are nested in (and KWin where it cannot
# paint with OpenGL), xdotool and ImageMagick's import for the keys and the screenshots there.
WAYLAND_PACKAGES=(kwin-wayland breeze weston mutter xwayland qt6-wayland dbus-daemon dbus-bin
                  plasma-wayland-protocols libwayland-dev libwayland-bin python3 python3-dbus
                  python3-pil xvfb xdotool x11-utils imagemagick)

# wayland_checks BUILD_DIR: the checks on each compositor, the program from BUILD_DIR;
# screenshots in BUILD_DIR/wayland.
wayland_checks() {
    local build="$1" out="$1/wayland" protocol
    load_product "$build"
    # The window titles the checks look for, and the Qt the program is built with.
    export TITLE_MAIN TITLE_INSTRUCTIONS TITLE_GLOSSARY TITLE_ABOUT
    QT_VERSION="$(pkg-config --modversion Qt6Core)"
    export QT_VERSION
    mkdir -p "$out"
    protocol=/usr/share/plasma-wayland-protocols/fake-input.xml
    wayland-scanner client-header "$protocol" "$out/fake-input-client-protocol.h"
    wayland-scanner private-code "$protocol" "$out/fake-input-protocol.c"
    # shellcheck disable=SC2046  # pkg-config's words are separate options
    cc -std=c11 -Wall -Wextra -Wpedantic -Werror -I"$out" -o "$out/fake_input" \
        "$ROOT/tests/wayland/fake_input.c" "$out/fake-input-protocol.c" \
        $(pkg-config --cflags --libs wayland-client)
    # shellcheck disable=SC2153  # PROGRAM, from product.sh, is not program
    local checks=("$ROOT/tests/wayland/window_checks.py") program="$build/app/$PROGRAM"
    # The desktop entry and icons, installed where KWin looks for them.
    rm -rf "$out/installed"
    cmake --install "$build" --prefix "$out/installed" >/dev/null
    local scale failed=0
    # KWin at 100 % and at the desktop's usual larger scales.
    for scale in 1 1.25 1.5 2; do
        /usr/bin/python3 "${checks[@]}" kwin "$program" "$out/fake_input" "$out" "$APP_ID" \
            "$scale" || failed=1
    done
    /usr/bin/python3 "${checks[@]}" weston "$program" - "$out" "$APP_ID" || failed=1
    # mutter runs nested in an X server only in the releases that still have that mode.
    if mutter --help 2>&1 | grep -q -- '--nested'; then
        /usr/bin/python3 "${checks[@]}" mutter "$program" - "$out" "$APP_ID" || failed=1
    else
        echo "wayland_checks: this mutter has no nested mode; mutter not checked"
    fi
    return "$failed"
}
