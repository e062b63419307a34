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

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# How long a window may take to show a change: generous, as the machine may be busy. Nothing
# is timed; a check only gives up after this.
PATIENCE = 10.0

# The window titles, as the build wrote them (scripts/lib/wayland.sh passes them on).
CALCULATOR = os.environ.get("TITLE_MAIN", "TALVEX MV-4016 - Storage Calculator")
INSTRUCTIONS = os.environ.get("TITLE_INSTRUCTIONS", "How to use this DVR Storage Calculator")
GLOSSARY = os.environ.get("TITLE_GLOSSARY", "Glossary of Terms")
ABOUT = os.environ.get("TITLE_ABOUT", "About MV-4016 Storage Calculator")
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


def wait_for(condition, patience=PATIENCE):
    """Polls until condition() gives a true value, which it returns; None after patience."""
    deadline = time.monotonic() + patience
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(0.1)


class Session:
    """A compositor with its own runtime folder, configuration and processes."""

    def __init__(self, out_dir):
        self.out_dir = out_dir
        self.work = tempfile.mkdtemp(prefix="storagecalc-wayland-")
        self.runtime = os.path.join(self.work, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.processes = []
        # Nothing of the machine's own session leaks in: a home of its own, no display.
        self.env = {
            key: value
            for key, value in os.environ.items()
            if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY",
                           "DBUS_SESSION_BUS_ADDRESS", "XDG_SESSION_TYPE",
                           "XDG_CURRENT_DESKTOP", "QT_SCALE_FACTOR")
        }
        self.env.update(HOME=os.path.join(self.work, "home"), XDG_RUNTIME_DIR=self.runtime,
                        XDG_CONFIG_HOME=os.path.join(self.work, "config"),
                        XDG_DATA_HOME=os.path.join(self.work, "data"),
                        XDG_CACHE_HOME=os.path.join(self.work, "cache"))
        for folder in ("home", "config", "data", "cache"):
            os.mkdir(os.path.join(self.work, folder))
        self.program = None

    def start(self, command, log_name, env=None, **kwargs):
        log = open(os.path.join(self.work, log_name), "wb")
        process = subprocess.Popen(command, env=env or self.env, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def log(self, log_name):
        with open(os.path.join(self.work, log_name), "rb") as log:
            return log.read().decode(errors="replace")

    def start_xvfb(self, width, height):
        """A private X server of that size, to nest a compositor in; its display name."""
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                    f"{width}x{height}x24", "-dpi", "96", "-nolisten", "tcp"], "xvfb.log",
                   pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.xvfb = ":" + pipe.readline().strip()
        return self.xvfb

    def xvfb_screenshot(self, name):
        """Xvfb's screen, where the nested compositor's output is, one to one."""
        from PIL import Image
        path = os.path.join(self.out_dir if name else self.work, (name or "shot") + ".png")
        subprocess.run(["import", "-window", "root", path], env=dict(self.env, DISPLAY=self.xvfb),
                       check=True)
        return Image.open(path).convert("RGB")

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        shutil.rmtree(self.work, ignore_errors=True)

    def program_env(self):
        """The environment of a program started from the desktop's menu."""
        env = dict(self.env)
        env.update(self.session_env)
        return env

    def start_program(self, program, extra_env=None):
        env = self.program_env()
        env.update(extra_env or {})
        self.program = self.start([program], "program.log", env=env)
        return self.program


class Kwin(Session):
    def __init__(self, out_dir, fake_input, installed, scale=None):
        super().__init__(out_dir)
        self.fake_input = fake_input
        self.scale = scale
        # The program installed there (its desktop entry and icons), as a package installs it.
        self.installed = installed
        self.env["XDG_DATA_DIRS"] = os.path.join(installed, "share") + ":" + os.environ.get(
            "XDG_DATA_DIRS", "/usr/local/share:/usr/share")
        self.script_count = 0

    def open(self):
        bus = os.path.join(self.runtime, "bus")
        self.start(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                    f"--address=unix:path={bus}"], "dbus.log")
        wait_for(lambda: os.path.exists(bus))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={bus}"
        # kwin_wayland carries file capabilities, which a container may refuse to grant (exec
        # then fails); a copy has none, and KWin's own plugins load for the same file name.
        self.binary = os.path.join(self.work, "bin", "kwin_wayland")
        os.mkdir(os.path.dirname(self.binary))
        shutil.copy(shutil.which("kwin_wayland"), self.binary)
        # KWin starts its application once Xwayland is ready, with the session's DISPLAY: that
        # child says which it is, and stays.
        self.teller = os.path.join(self.work, "bin", "tell_display")
        with open(self.teller, "w") as script:
            script.write(f'#!/bin/sh\necho "$DISPLAY" >{self.work}/display\nexec sleep 100000\n')
        os.chmod(self.teller, 0o755)
        self.session_env = {"WAYLAND_DISPLAY": "wayland-9", "XDG_SESSION_TYPE": "wayland",
                            "XDG_CURRENT_DESKTOP": "KDE"}
        # KWin paints as on a desktop, with OpenGL, and offers its own screenshots (ScreenShot2),
        # on its virtual backend where it can: KWin 5.27 always (Mesa's software renderer),
        # KWin 6 only on a GPU's render node. Elsewhere it paints with QPainter and offers none:
        # it then runs on its X11 backend, its output a window filling a private Xvfb, whose
        # screen is what KWin painted.
        self.xvfb = None
        kwin = self._start_kwin("Virtual-0", ["--virtual"])
        if wait_for(self._screenshots) != "offered":
            os.killpg(kwin.pid, signal.SIGTERM)
            kwin.wait()
            self.processes.remove(kwin)
            scale = self.scale or 1
            self.start_xvfb(round(1280 * scale), round(960 * scale))
            self._start_kwin("X11-0", ["--x11-display", self.xvfb])

    def _start_kwin(self, output, backend):
        scale = self.scale or 1
        # KWin 6 keeps each output's scale in its own configuration and gives an output it has
        # not seen 100 %, whatever --scale says: the configuration is written for it first.
        with open(os.path.join(self.work, "config", "kwinoutputconfig.json"), "w") as config:
            json.dump([{"name": "outputs", "data": [{
                "connectorName": output, "scale": scale,
                "mode": {"width": round(1280 * scale), "height": round(960 * scale),
                         "refreshRate": 60000}}]},
                {"name": "setups", "data": [{"lidClosed": False, "outputs": [{
                    "enabled": True, "outputIndex": 0, "position": {"x": 0, "y": 0},
                    "priority": 0}]}]}], config)
        kwin_env = dict(self.env)
        kwin_env.update(KWIN_WAYLAND_NO_PERMISSION_CHECKS="1",
                        KWIN_SCREENSHOT_NO_PERMISSION_CHECKS="1",
                        QT_QPA_PLATFORM="offscreen",
                        # The scripts below speak through print(), which KWin logs here.
                        QT_LOGGING_RULES="kwin_scripting=true;js=true")
        command = [self.binary, *backend, "--xwayland", "--no-lockscreen", "--socket",
                   "wayland-9", "--width", "1280", "--height", "960"]
        if self.scale:
            command += ["--scale", str(self.scale)]
        socket = os.path.join(self.runtime, "wayland-9")
        for left in (socket, os.path.join(self.work, "display")):
            if os.path.exists(left):
                os.remove(left)
        kwin = self.start(command + [self.teller], "kwin.log", env=kwin_env)
        if not wait_for(lambda: os.path.exists(socket)):
            raise RuntimeError("KWin did not start:\n" + self.log("kwin.log"))
        # Xwayland is started when KWin is ready for X11 clients; it names the display.
        display = wait_for(self._xwayland_display)
        if display:
            self.session_env["DISPLAY"] = display
        wait_for(lambda: self._script_ready())
        return kwin

    def _screenshots(self):
        """"offered" once ScreenShot2 is there, "none" where KWin paints with QPainter (it never
        comes), None while KWin has not said."""
        try:
            if "true" in self.dbus("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus.NameHasOwner",
                                   "string:org.kde.KWin.ScreenShot2"):
                return "offered"
            kind = self.dbus("org.kde.KWin", "/Compositor", "org.freedesktop.DBus.Properties.Get",
                             "string:org.kde.kwin.Compositing", "string:compositingType")
        except subprocess.CalledProcessError:
            return None
        return "none" if "qpainter" in kind else None

    def _xwayland_display(self):
        try:
            with open(os.path.join(self.work, "display")) as display:
                return display.read().strip() or None
        except OSError:
            return None

    def _script_ready(self):
        try:
            self.windows()
            return True
        except subprocess.CalledProcessError:
            return False

    def dbus(self, destination, path, method, *args):
        return subprocess.run(["dbus-send", "--session", "--print-reply=literal",
                               f"--dest={destination}", path, method, *args], env=self.env,
                              check=True, capture_output=True, text=True).stdout

    def run_script(self, source):
        """Runs a KWin script; gives back the lines it printed."""
        self.script_count += 1
        name = f"check{self.script_count}"
        marker = f"@@{name}@@"
        path = os.path.join(self.work, name + ".js")
        with open(path, "w") as script:
            script.write(f'function say(text) {{ print("{marker}" + text); }}\n'
                         "var ws = workspace;\n"
                         "var windows = ws.windowList ? ws.windowList() : ws.clientList();\n"
                         "var active = ws.activeWindow !== undefined ? ws.activeWindow"
                         " : ws.activeClient;\n" + source + f'\nsay("END");\n')
        self.dbus("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.loadScript",
                  f"string:{path}", f"string:{name}")
        self.dbus("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.start")
        lines = wait_for(lambda: self._script_lines(marker), 10)
        self.dbus("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.unloadScript",
                  f"string:{name}")
        if lines is None:
            raise subprocess.CalledProcessError(1, "KWin script", "no answer")
        return lines[:-1]

    def _script_lines(self, marker):
        lines = [line.split(marker, 1)[1] for line in self.log("kwin.log").splitlines()
                 if marker in line]
        return lines if lines and lines[-1] == "END" else None

    def windows(self):
        """The compositor's windows of the program, by caption, in stacking order."""
        lines = self.run_script("""
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i];
    var g = w.frameGeometry;
    // KWin 5.27 names no client area; its buffer is it, but for an X11 window's frame.
    var client = w.clientGeometry || w.bufferGeometry;
    say(JSON.stringify({caption: w.caption, resourceClass: String(w.resourceClass),
        desktopFile: String(w.desktopFileName), active: w === active, minimized: w.minimized,
        minimizable: w.minimizable, maximizable: w.maximizable, closeable: w.closeable,
        transient: w.transient, transientFor: w.transientFor ? w.transientFor.caption : null,
        modal: w.modal, skipTaskbar: w.skipTaskbar, x: g.x, y: g.y, width: g.width,
        height: g.height, clientX: client.x, clientY: client.y,
        stackingOrder: w.stackingOrder, pid: w.pid,
        x11: w.windowId !== undefined && w.windowId !== 0}));
}""")
        windows = [json.loads(line) for line in lines]
        return {w["caption"]: w for w in windows if self.program and w["pid"] == self.program.pid}

    def minimise(self, caption):
        self.run_script(f"""
for (var i = 0; i < windows.length; ++i)
    if (windows[i].caption == {json.dumps(caption)}) windows[i].minimized = true;""")

    def type(self, *actions):
        subprocess.run([self.fake_input, *actions], env=self.program_env(), check=True)

    def click(self, x, y):
        self.type(f"click:{int(x)},{int(y)}")

    def screenshot(self, name):
        if self.xvfb:
            return self.xvfb_screenshot(name)
        import dbus
        from PIL import Image
        bus = dbus.bus.BusConnection(self.env["DBUS_SESSION_BUS_ADDRESS"])
        shots = dbus.Interface(bus.get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"),
                               "org.kde.KWin.ScreenShot2")
        read_end, write_end = os.pipe()
        result = shots.CaptureActiveScreen({"native-resolution": True},
                                           dbus.types.UnixFd(write_end))
        os.close(write_end)
        data = bytearray()
        with os.fdopen(read_end, "rb") as pipe:
            for chunk in iter(lambda: pipe.read(1 << 20), b""):
                data += chunk
        bus.close()
        image = Image.frombuffer("RGBA", (int(result["width"]), int(result["height"])),
                                 bytes(data), "raw", "BGRA", int(result["stride"]), 1)
        image = image.convert("RGB")
        if name:
            image.save(os.path.join(self.out_dir, name + ".png"))
        return image


class XwaylandDesktop(Session):
    """A compositor nested in a private Xvfb, with Xwayland, where the program runs on X11: its
    windows are read from Xwayland as the compositor's window manager maps them there, keys and
    clicks go through Xvfb, screenshots are Xvfb's."""

    name = ""

    def open(self):
        self.start_xvfb(1024, 768)
        self.session_env = {"XDG_SESSION_TYPE": "wayland"}
        self.start_compositor()
        # The keyboard of Xvfb goes to the compositor's window, as the pointer is in it.
        self.xdotool(self.xvfb, "mousemove", "1000", "700")

    def _xwayland_env(self):
        env = dict(self.env, DISPLAY=self.session_env["DISPLAY"])
        if "XAUTHORITY" in self.session_env:
            env["XAUTHORITY"] = self.session_env["XAUTHORITY"]
        return env

    def xdotool(self, display, *args):
        env = self._xwayland_env() if display != self.xvfb else dict(self.env, DISPLAY=display)
        result = subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True)
        return result.stdout if result.returncode == 0 else ""

    def windows(self):
        """The program's X windows on Xwayland."""
        display = self.session_env["DISPLAY"]
        focus = self.xdotool(display, "getwindowfocus", "-f").strip()
        windows = {}
        for wid in self.xdotool(display, "search", "--onlyvisible", "--name", ".").split():
            name = self.xdotool(display, "getwindowname", wid).strip()
            geometry = self.xdotool(display, "getwindowgeometry", "--shell", wid)
            values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
            if name and "X" in values:
                state = subprocess.run(["xprop", "-id", wid, "_NET_WM_STATE"],
                                       env=self._xwayland_env(), capture_output=True,
                                       text=True).stdout
                windows[name] = {"caption": name, "id": wid, "active": wid == focus,
                                 "minimized": "_NET_WM_STATE_HIDDEN" in state,
                                 "x": int(values["X"]), "y": int(values["Y"]),
                                 "width": int(values["WIDTH"]), "height": int(values["HEIGHT"])}
        return windows

    def type(self, *keys):
        for key in keys:
            self.xdotool(self.xvfb, "key", key)

    def click(self, x, y):
        # The compositor's output is at the top left of Xvfb's screen, one to one. The pointer
        # is moved there first, and the compositor left to see it arrive, as a hand would.
        self.xdotool(self.xvfb, "mousemove", str(int(x)), str(int(y)))
        time.sleep(0.3)
        self.xdotool(self.xvfb, "click", "1")

    def screenshot(self, name):
        return self.xvfb_screenshot(name)


class Weston(XwaylandDesktop):
    """weston on its X11 backend."""

    name = "weston"

    def start_compositor(self):
        self.sockets_before = set(os.listdir("/tmp/.X11-unix"))
        config = os.path.join(self.work, "weston.ini")
        with open(config, "w") as ini:
            ini.write("[core]\nidle-time=0\n[shell]\npanel-position=none\n")
        self.start(["weston", "--backend=x11-backend.so", "--xwayland", "--socket=wayland-8",
                    "--width=1024", "--height=768", f"--config={config}",
                    f"--log={os.path.join(self.work, 'weston.log')}"], "weston.out",
                   env=dict(self.env, DISPLAY=self.xvfb))
        display = wait_for(self._xwayland_display)
        if not display or not os.path.exists(os.path.join(self.runtime, "wayland-8")):
            raise RuntimeError("weston did not start:\n" + self.log("weston.log"))
        self.session_env.update(WAYLAND_DISPLAY="wayland-8", DISPLAY=display)

    def _xwayland_display(self):
        try:
            log = self.log("weston.log")
        except OSError:
            return None
        for line in log.splitlines():
            if "xserver listening on display" in line:
                return line.rsplit(" ", 1)[1].strip()
        # A weston that does not say: the X display that came up after it started.
        if "xwayland" not in log.lower():
            return None
        new = sorted(set(os.listdir("/tmp/.X11-unix")) - self.sockets_before
                     - {"X" + self.xvfb[1:]})
        return ":" + new[0][1:] if new and new[0].startswith("X") else None


class Mutter(XwaylandDesktop):
    """GNOME's mutter, nested (its window in Xvfb is its screen), without GNOME Shell."""

    name = "mutter"

    def start_compositor(self):
        bus = os.path.join(self.runtime, "bus")
        self.start(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                    f"--address=unix:path={bus}"], "dbus.log")
        wait_for(lambda: os.path.exists(bus))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={bus}"
        # mutter 44 and later have GTK draw the X11 windows' title bars, which takes its button
        # layout from GNOME's settings daemon (XSETTINGS), not here: a settings file gives GTK
        # GNOME's default instead.
        gtk = os.path.join(self.work, "config", "gtk-4.0")
        os.makedirs(gtk)
        with open(os.path.join(gtk, "settings.ini"), "w") as settings:
            settings.write("[Settings]\ngtk-decoration-layout=appmenu:close\n")
        # mutter starts its command once Xwayland is ready, with the session's environment:
        # that child writes it down, and stays.
        told = os.path.join(self.work, "session.env")
        teller = os.path.join(self.work, "tell_session")
        with open(teller, "w") as script:
            script.write(f"#!/bin/sh\nenv >{told}.part\nmv {told}.part {told}\n"
                         "exec sleep 100000\n")
        os.chmod(teller, 0o755)
        self.start(["mutter", "--nested", "--wayland", "--wayland-display=wayland-7", "--",
                    teller], "mutter.log",
                   env=dict(self.env, DISPLAY=self.xvfb,
                            MUTTER_DEBUG_DUMMY_MODE_SPECS="1024x768"))
        if not wait_for(lambda: os.path.exists(told)):
            raise RuntimeError("mutter did not start:\n" + self.log("mutter.log"))
        with open(told) as told_env:
            values = dict(line.rstrip("\n").split("=", 1) for line in told_env if "=" in line)
        self.session_env.update(WAYLAND_DISPLAY="wayland-7", DISPLAY=values["DISPLAY"])
        if "XAUTHORITY" in values:
            self.session_env["XAUTHORITY"] = values["XAUTHORITY"]


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
        drawing = session.start([program], "program.log", env=env)

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

    def window(caption, condition=lambda w: True):
        """The window once it shows with the condition met; its last state otherwise."""
        found = wait_for(lambda: (lambda w: w if w and condition(w) else None)(
            session.windows().get(caption)))
        return found or session.windows().get(caption) or {}

    def active(caption):
        return window(caption, lambda w: w["active"])

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

    def gone(caption):
        return wait_for(lambda: caption not in session.windows()) is not None

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
    session.type("ctrl+x")
    ended = wait_for(lambda: session.program.poll() is not None)
    if not ended:
        session.program.kill()
        session.program.wait()
    checks.check(f"{label}: Ctrl+X straight after closes every window and ends the program",
                 ended and session.program.returncode == 0 and not session.windows(),
                 session.program.returncode)

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

    def window(caption, condition=lambda w: True):
        found = wait_for(lambda: (lambda w: w if w and condition(w) else None)(
            session.windows().get(caption)))
        return found or session.windows().get(caption) or {}

    def active(caption):
        return window(caption, lambda w: w["active"])

    def gone(caption):
        return wait_for(lambda: caption not in session.windows()) is not None

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
    session.click(main["x"] + 20, main["y"] + 40)
    main = active(CALCULATOR)
    checks.check(f"{name}: a click activates the main window", main.get("active"),
                 session.windows())
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
    session.click(main["x"] + 20, main["y"] + 40)
    active(CALCULATOR)
    session.type("ctrl+x")
    ended = wait_for(lambda: session.program.poll() is not None)
    if not ended:
        session.program.kill()
        session.program.wait()
    checks.check(f"{name}: Ctrl+X closes every window and ends the program",
                 ended and session.program.returncode == 0, session.program.returncode)

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
