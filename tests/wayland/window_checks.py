#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The program's windows in Wayland sessions, read from the compositor itself.

Starts a real compositor, starts the program in it as a desktop would (no
QT_QPA_PLATFORM: the program chooses), types into it as a user would, and
checks what the compositor shows: its window list and its screenshots, not
Qt's idea of them.

  window_checks.py kwin PROGRAM FAKE_INPUT OUT_DIR APP_ID [SCALE]
      (with the program installed in OUT_DIR/installed, for its desktop entry)
      KWin's virtual backend with Xwayland (on its X11 backend, on a private
      Xvfb, where KWin cannot paint with OpenGL); keys and clicks through
      KWin's fake-input protocol (FAKE_INPUT is the small client built from
      it), the window list through KWin's scripting, screenshots through
      ScreenShot2 (of Xvfb). The program must run natively there.
  window_checks.py weston|mutter PROGRAM - OUT_DIR APP_ID
      weston on its X11 backend, or mutter nested, on a private Xvfb, with
      Xwayland; keys through xdotool on Xvfb, windows read from Xwayland,
      screenshots of Xvfb. The program must run through Xwayland there.

Screenshots are left in OUT_DIR. The last line counts the checks:
'N passed, N failed'; the exit code is 1 when one failed.
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the checks
from compositors import PATIENCE, Kwin, Mutter, Session, Weston, wait_for  # noqa: E402

# The window titles, as the build wrote them (scripts/lib/wayland.sh passes them on).
CALCULATOR = os.environ["TITLE_MAIN"]
INSTRUCTIONS = os.environ["TITLE_INSTRUCTIONS"]
GLOSSARY = os.environ["TITLE_GLOSSARY"]
ABOUT = os.environ["TITLE_ABOUT"]
MISSING = "Missing Data"
# The Qt the program is built with (scripts/lib/wayland.sh passes it on).
QT_VERSION = tuple(int(part) for part in os.environ.get("QT_VERSION", "6.4").split(".")[:2])


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, name, ok, detail=""):
        if ok:
            self.passed += 1
            print(f"ok - {name}", flush=True)
        else:
            self.failed += 1
            print(f"FAIL - {name}: {detail}", flush=True)
        return ok


def icon_difference(screen, window, icon_path, scale):
    """How far the icon at the left of a window's title bar is from the program's icon, as the
    mean difference of their pixels: 0 the same, 255 the opposite."""
    from PIL import Image, ImageChops, ImageStat
    left, top = window["x"] * scale, window["y"] * scale
    # Inside the frame's rounded corner, which is not the icon.
    bar = screen.crop((int(left + 5 * scale), int(top + 5 * scale), int(left + 48 * scale),
                       int(top + 33 * scale))).convert("RGB")
    background = bar.getpixel((bar.width - 1, bar.height // 2))
    ink = ImageChops.difference(bar, Image.new("RGB", bar.size, background))
    box = ink.convert("L").point(lambda v: 255 if v > 24 else 0).getbbox()
    if not box:
        return 255.0
    shown = bar.crop(box)
    icon = Image.open(icon_path).convert("RGBA")
    icon = icon.crop(icon.getchannel("A").point(lambda v: 255 if v > 24 else 0).getbbox())
    flat = Image.new("RGBA", shown.size, background + (255,))
    flat.alpha_composite(icon.resize(shown.size, Image.LANCZOS))
    return sum(ImageStat.Stat(ImageChops.difference(shown, flat.convert("RGB"))).mean) / 3


# Text of the main window, by the logical pixels of its client area (its layout is fixed): the
# two buttons' captions, two lists' entries (dark on light) and the labels beside the recording
# time (light on dark).
TEXT = {"Calculate": (40, 269, 165, 287), "Clear": (445, 269, 575, 287),
        "cameras' list": (28, 124, 150, 142), "resolutions' list": (220, 124, 370, 142),
        "days": (262, 272, 290, 288), "hours": (366, 272, 398, 288)}


def glyph_edges(image):
    """How wide the edges of the text in the image are, in its pixels: along rows and columns,
    the pixels of a ramp between 10 % and 90 % of the contrast, per crossing of 50 %. A glyph
    drawn for these pixels measures 1 to 1.5; one drawn for fewer and scaled up, 2 and more."""
    grey = image.convert("L")
    width, height = grey.size
    values = list(grey.getdata())
    border = sorted(values[:width] + values[-width:])
    background = border[len(border) // 2]
    ink = min(values) if background > 127 else max(values)
    level = [abs(v - background) / (abs(ink - background) or 1) for v in values]
    ramp = crossings = 0
    lines = [level[y * width:(y + 1) * width] for y in range(height)]
    lines += [level[x::width] for x in range(width)]
    for line in lines:
        ramp += sum(1 for v in line if 0.1 < v < 0.9)
        crossings += sum(1 for a, b in zip(line, line[1:]) if (a < 0.5) != (b < 0.5))
    return ramp / max(crossings, 1)


def text_crops(screen, left, top, scale):
    """The pieces of the main window's text, its client area at (left, top) of the screen in
    its pixels, drawn for that scale."""
    return [screen.crop((round(left + x0 * scale), round(top + y0 * scale),
                         round(left + x1 * scale), round(top + y1 * scale)))
            for x0, y0, x1, y1 in TEXT.values()]


def text_edges(crops, upscale=1):
    """glyph_edges() of each piece of text; each scaled up by upscale first, as a compositor
    would."""
    from PIL import Image
    if upscale != 1:
        crops = [crop.resize((round(crop.width * upscale), round(crop.height * upscale)),
                             Image.BILINEAR) for crop in crops]
    return [glyph_edges(crop) for crop in crops]


def qt_drawing(program, scale):
    """The main window's text as Qt draws it at 100 %, on a bare X server: the text_edges() of
    each piece as drawn, for its pixels, and scaled up to that scale, as a compositor would."""
    session = Session(tempfile.gettempdir())
    try:
        env = dict(session.env, DISPLAY=session.start_xvfb(1024, 768), QT_QPA_PLATFORM="xcb")
        session.start([program], "program.log", env=env)

        def drawn():
            """The text once every piece of it shows."""
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", CALCULATOR],
                                   env=env, capture_output=True, text=True).stdout.split()
            if not found:
                return None
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", found[0]],
                                      env=env, capture_output=True, text=True).stdout
            values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
            crops = text_crops(session.xvfb_screenshot(None), int(values["X"]),
                               int(values["Y"]), 1)
            shown = all(high - low > 100 for low, high in
                        (crop.convert("L").getextrema() for crop in crops))
            return crops if shown else None
        # Patient: a program started while the compositor's runs may take a while.
        crops = wait_for(drawn, 3 * PATIENCE)
        if crops is None:
            raise RuntimeError("Qt's drawing did not show:\n" + session.log("program.log"))
        return text_edges(crops), text_edges(crops, scale)
    finally:
        session.stop()


def centre(window):
    return (window["x"] + window["width"] / 2, window["y"] + window["height"] / 2)


def inside(point, window):
    x, y = point
    return (window["x"] <= x < window["x"] + window["width"]
            and window["y"] <= y < window["y"] + window["height"])


def kwin_checks(session, checks, program, app_id):
    scale = session.scale or 1
    label = f"KWin at {scale * 100:g} %"

    window, active, gone = session.window, session.active, session.gone

    def on_top(caption):
        """Active and above every other window of the program."""
        def test():
            windows = session.windows()
            w = windows.get(caption)
            if not w or not w["active"] or w["minimized"]:
                return None
            return w if all(o["stackingOrder"] <= w["stackingOrder"]
                            for o in windows.values()) else None
        return wait_for(test) or session.windows().get(caption) or {}

    def free_spot(main):
        """A point of the main window where no control is and no other window reaches: its
        menu bar, right of the menus, under KWin's title bar. (Breeze's resize borders reach
        beyond a window's frame: a point just beside a help window grabs that window.)"""
        return main["x"] + main["width"] - 60, main["y"] + 41

    def click_calculator():
        """A click on the main window, where nothing else is: it becomes active."""
        session.click(*free_spot(session.windows()[CALCULATOR]))
        return active(CALCULATOR).get("active", False)

    session.start_program(program)
    main = active(CALCULATOR)
    checks.check(f"{label}: the main window opens, active", main.get("active"), main)
    # KWin names a native window's class by its application id; an X11 one by its WM_CLASS.
    checks.check(f"{label}: the program runs on Wayland itself, not through Xwayland",
                 main and not main["x11"] and main["resourceClass"] == app_id, main)
    checks.check(f"{label}: the main window names the desktop entry (its icon)",
                 main.get("desktopFile") == app_id, main.get("desktopFile"))
    checks.check(f"{label}: the main window's title bar: minimise and close, no maximise",
                 main.get("minimizable") and main.get("closeable")
                 and main.get("maximizable") is False, main)
    screen = session.screenshot(f"kwin-{scale * 100:g}-main")
    screen_centre = (screen.width / scale / 2, screen.height / scale / 2)
    # KWin takes the icon from the installed entry (the generic one differs by about 100).
    icon = os.path.join(session.installed, "share", "icons", "hicolor", "256x256", "apps",
                        app_id + ".png")
    difference = icon_difference(screen, main, icon, scale)
    checks.check(f"{label}: the title bar shows the installed entry's icon", difference < 50,
                 f"differs by {difference:.0f}")
    checks.check(f"{label}: the main window is centred on the screen",
                 main and abs(centre(main)[0] - screen_centre[0]) <= 1
                 and abs(centre(main)[1] - screen_centre[1]) <= 1,
                 f"{main} on {screen.size}")
    if scale != 1:
        # Each piece of text with glyph edges nearer those of Qt's drawing at 100 %, drawn for
        # its pixels, than those of that drawing scaled up to this scale; in a native window
        # (KWin 5.27 does not say where an X11 window's client area is).
        shown = text_edges(text_crops(screen, main["clientX"] * scale, main["clientY"] * scale,
                                      scale))
        sharp, soft = qt_drawing(program, scale)
        pieces = {name: (round(s, 2), round(c, 2), round(u, 2))
                  for name, s, c, u in zip(TEXT, shown, sharp, soft)}
        checks.check(f"{label}: the text is crisp (its glyph edges as narrow as drawn for the "
                     "screen's pixels, not as wide as scaled up from 100 %)",
                     not main["x11"] and all(s < (c + u) / 2 for s, c, u in pieces.values()),
                     f"glyph edges in pixels, shown, at 100 %, scaled up: {pieces}")

    # Calculate with nothing chosen (it has the keyboard at start).
    session.type("return")
    box = active(MISSING)
    checks.check(f"{label}: the Missing Data box opens with its whole title, active",
                 box.get("caption") == MISSING and box.get("active"), box)
    session.screenshot(f"kwin-{scale * 100:g}-missing-data")
    checks.check(f"{label}: the box is transient for the main window and placed over it",
                 box.get("transientFor") == CALCULATOR and inside(centre(box), main),
                 f"{box} over {main}")
    # xdg-shell has no word for "no minimise button": KWin gives every window one.
    checks.check(f"{label}: the box's title bar (KWin's): minimise and close, no maximise",
                 box.get("closeable") and box.get("minimizable")
                 and box.get("maximizable") is False, box)
    # A click on the main window leaves the box in front, with the keyboard.
    session.click(*free_spot(main))
    time.sleep(0.5)
    box = session.windows().get(MISSING, {})
    checks.check(f"{label}: the box stays in front of the main window, with the keyboard",
                 box.get("active"), session.windows())

    # Enter closes the box; Ctrl+I straight after must reach the main window.
    session.type("return")
    session.type("ctrl+i")
    instructions = active(INSTRUCTIONS)
    checks.check(f"{label}: Ctrl+I straight after the box closes opens the instructions",
                 instructions.get("active"), session.windows())
    checks.check(f"{label}: the box is gone", gone(MISSING))
    session.screenshot(f"kwin-{scale * 100:g}-instructions")
    checks.check(f"{label}: the instructions' title bar (KWin's: close, minimise and maximise, as "
                 "xdg-shell cannot ask for fewer)",
                 instructions.get("closeable") and instructions.get("minimizable")
                 and instructions.get("maximizable"), instructions)

    # Called again from the main window: to the front with the keyboard.
    checks.check(f"{label}: a click activates the main window", click_calculator())
    session.type("ctrl+i")
    instructions = on_top(INSTRUCTIONS)
    checks.check(f"{label}: Ctrl+I brings the open instructions to the front, active",
                 instructions.get("active"), session.windows())
    click_calculator()
    session.type("ctrl+g")
    glossary = active(GLOSSARY)
    checks.check(f"{label}: Ctrl+G opens the glossary", glossary.get("active"), session.windows())
    click_calculator()
    session.type("ctrl+g")
    glossary = on_top(GLOSSARY)
    checks.check(f"{label}: Ctrl+G brings the open glossary to the front, active",
                 glossary.get("active"), session.windows())

    # A minimised help window comes back when called.
    session.minimise(INSTRUCTIONS)
    minimised = window(INSTRUCTIONS, lambda w: w["minimized"])
    checks.check(f"{label}: the instructions minimise", minimised.get("minimized"), minimised)
    click_calculator()
    session.type("ctrl+i")
    instructions = on_top(INSTRUCTIONS)
    checks.check(f"{label}: Ctrl+I brings the minimised instructions back, active",
                 instructions.get("active") and not instructions.get("minimized"),
                 session.windows())

    # OK closes a help window and brings the main window to the front.
    session.type("return")
    checks.check(f"{label}: OK closes the instructions", gone(INSTRUCTIONS))
    main = on_top(CALCULATOR)
    checks.check(f"{label}: OK brings the main window to the front, active", main.get("active"),
                 session.windows())

    # Help > About..., from the menu by the keyboard: Alt, then the last menu, its last entry.
    for key in ("alt", "left", "down", "up", "return"):
        session.type(key)
        time.sleep(0.3)
    about = active(ABOUT)
    checks.check(f"{label}: Help > About opens the about window, active", about.get("active"),
                 session.windows())
    session.screenshot(f"kwin-{scale * 100:g}-about")
    checks.check(f"{label}: the about window's title bar (KWin's): minimise and close, no maximise",
                 about.get("closeable") and about.get("minimizable")
                 and about.get("maximizable") is False, about)
    checks.check(f"{label}: the about window is transient for the main window",
                 about.get("transientFor") == CALCULATOR, about)
    checks.check(f"{label}: the about window is centred on the screen",
                 about and abs(centre(about)[0] - screen_centre[0]) <= 1
                 and abs(centre(about)[1] - screen_centre[1]) <= 1, about)

    # Keys straight after a window opens and after it closes: Ctrl+I opens the instructions;
    # Enter, as soon as KWin shows them, presses their OK (which closes them); Ctrl+X at once
    # ends the program. (A key typed before the window is on the screen goes where the keyboard
    # was: KWin gives it to the new window when the window shows.)
    click_calculator()
    session.type("ctrl+i")
    wait_for(lambda: INSTRUCTIONS in session.windows())
    session.type("return")
    closed = gone(INSTRUCTIONS) and active(CALCULATOR).get("active")
    checks.check(f"{label}: Enter as soon as the instructions show closes them again",
                 closed and MISSING not in session.windows(), session.windows())
    ended = session.exit_program()
    checks.check(f"{label}: Ctrl+X straight after closes every window and ends the program",
                 ended and not session.windows(), session.program.returncode)

    # The user's own choice wins over the program's.
    session.start_program(program, {"QT_QPA_PLATFORM": "xcb"})
    main = window(CALCULATOR)
    checks.check(f"{label}: with QT_QPA_PLATFORM=xcb the program runs through Xwayland",
                 main and (main["x11"] or main["resourceClass"] != app_id), main)
    session.program.terminate()
    session.program.wait()

    # Qt 6.5 and later draw for a fractional scale themselves (wp_fractional_scale): buffers of
    # the window's size at that scale, shown at its size through a viewport. Earlier Qts draw
    # at the next whole scale, which KWin scales down.
    if scale != int(scale) and QT_VERSION >= (6, 5):
        session.start_program(program, {"WAYLAND_DEBUG": "1"})
        window(CALCULATOR)
        log = session.log("program.log")
        preferred = re.findall(r"wp_fractional_scale_v1[#@]\d+\.preferred_scale\((\d+)\)", log)
        shown = re.findall(r"wp_viewport[#@]\d+\.set_destination\((\d+), (\d+)\)", log)
        buffers = re.findall(r"create_buffer\(new id wl_buffer[#@]\d+, \d+, (\d+), (\d+),", log)
        drawn = [(w, h) for w, h in shown if any(
            abs(int(bw) - int(w) * scale) <= 1 and abs(int(bh) - int(h) * scale) <= 1
            for bw, bh in buffers)]
        checks.check(f"{label}: Qt draws the window for {scale * 100:g} % itself",
                     str(round(scale * 120)) in preferred and drawn,
                     f"preferred scales {preferred}, shown at {shown[:3]}, buffers {buffers[:3]}")
        session.program.terminate()
        session.program.wait()


def xwayland_checks(session, checks, program):
    """The checks where the program runs through Xwayland. What the compositor does with a
    request to bring a window forward, and where it puts the box, differ: each is pinned."""
    name = session.name

    active, gone = session.active, session.gone

    def main_active(patience):
        return wait_for(lambda: session.windows().get(CALCULATOR, {}).get("active"), patience)

    def bring_main_forward():
        """The main window made active as a user does, when it is not: a click on it. weston
        on its X11 backend does not always take the pointer from Xvfb (its cursor can stay
        where it started), so there its window switcher, Super+Tab, does it, once more if it
        went to another window. A window that has just closed hands the keyboard back a
        moment later (weston at the end of its animation): that is waited for first."""
        if not main_active(2):
            main = session.windows().get(CALCULATOR, {})
            if name != "weston":
                session.click(main["x"] + 20, main["y"] + 40)
            for _ in range(len(session.windows()) if name == "weston" else 0):
                session.type("super+Tab")
                if main_active(2):
                    break
        return active(CALCULATOR)

    session.start_program(program)
    main = active(CALCULATOR)
    checks.check(f"{name}: the program runs through Xwayland, its main window active",
                 main.get("active"), session.windows())
    session.screenshot(f"{name}-main")
    session.type("Return")
    box = active(MISSING)
    checks.check(f"{name}: the Missing Data box opens, active", box.get("active"),
                 session.windows())
    session.screenshot(f"{name}-missing-data")
    if name == "mutter":
        checks.check("mutter: the box is placed over the main window",
                     inside(centre(box), main), f"{box} over {main}")
    # The compositor hands the keyboard back to the main window once the box has gone (weston
    # only at the end of its close animation); keys then reach it.
    session.type("Return")
    checks.check(f"{name}: the box closes", gone(MISSING))
    main = active(CALCULATOR)
    checks.check(f"{name}: the main window gets the keyboard back", main.get("active"),
                 session.windows())
    session.type("ctrl+i")
    instructions = active(INSTRUCTIONS)
    checks.check(f"{name}: Ctrl+I then opens the instructions", instructions.get("active"),
                 session.windows())
    session.screenshot(f"{name}-instructions")
    main = bring_main_forward()
    checks.check(f"{name}: {'Super+Tab' if name == 'weston' else 'a click'} activates the "
                 "main window", main.get("active"), session.windows())
    session.type("ctrl+i")
    if name == "weston":
        # weston's window manager takes no request to activate or raise a window (neither
        # does its Wayland shell: it has no xdg-activation): the instructions stay behind, and
        # the main window keeps the keyboard, which Ctrl+G shows (the instructions have no such
        # key). OK then closes the glossary.
        time.sleep(1)
        windows = session.windows()
        session.type("ctrl+g")
        glossary = active(GLOSSARY)
        checks.check("weston: Ctrl+I leaves the open instructions behind, the keyboard with "
                     "the main window", windows.get(CALCULATOR, {}).get("active")
                     and not windows.get(INSTRUCTIONS, {}).get("active", True)
                     and glossary.get("active"), session.windows())
        session.type("Return")
        gone(GLOSSARY)
    else:
        instructions = active(INSTRUCTIONS)
        checks.check(f"{name}: Ctrl+I brings the open instructions to the front, active",
                     instructions.get("active"), session.windows())
        # A window without a minimise button is one that mutter does not minimise, even when
        # asked to (as a pager would): the help windows stay where they are.
        session.xdotool(session.session_env["DISPLAY"], "windowminimize", instructions["id"])
        time.sleep(1)
        instructions = session.windows().get(INSTRUCTIONS, {})
        checks.check("mutter: the instructions, without a minimise button, do not minimise",
                     instructions and not instructions["minimized"], instructions)
    bring_main_forward()
    checks.check(f"{name}: Ctrl+X closes every window and ends the program",
                 session.exit_program(), session.program.returncode)

    # The user's own choice wins: natively on Wayland, nothing on Xwayland.
    session.start_program(program, {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DEBUG": "1"})
    titled = wait_for(lambda: "set_title" in session.log("program.log"))
    checks.check(f"{name}: with QT_QPA_PLATFORM=wayland the program runs on Wayland itself",
                 titled and session.program.poll() is None
                 and CALCULATOR not in session.windows(), session.windows())
    session.screenshot(f"{name}-native")
    session.program.terminate()
    session.program.wait()


def main():
    # Stopped from outside (a time limit), the compositors are stopped too.
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit(1))
    kind, program, fake_input, out_dir, app_id = sys.argv[1:6]
    scale = float(sys.argv[6]) if len(sys.argv) > 6 else None
    os.makedirs(out_dir, exist_ok=True)
    checks = Checks()
    if kind == "kwin":
        installed = os.path.abspath(os.path.join(out_dir, "installed"))
        runs = [(Kwin(out_dir, fake_input, installed, scale),
                 lambda s: kwin_checks(s, checks, program, app_id))]
    elif kind in ("weston", "mutter"):
        desktop = Weston(out_dir) if kind == "weston" else Mutter(out_dir)
        runs = [(desktop, lambda s: xwayland_checks(s, checks, program))]
    else:
        raise SystemExit(f"window_checks: no such compositor: {kind}")
    for session, run in runs:
        try:
            session.open()
            run(session)
        finally:
            session.stop()
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
