# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The compositors the window checks run on, each a session of its own.

Kwin: KWin's virtual backend (or its X11 backend on a private Xvfb, where it
cannot paint with OpenGL), with Xwayland; keys and clicks through KWin's
fake-input protocol, the window list through its scripting, screenshots
through ScreenShot2. Weston and Mutter: nested on a private Xvfb, with
Xwayland; keys through xdotool, windows read from Xwayland, screenshots of
Xvfb. Each session starts the program as a desktop does and answers what the
compositor shows.
"""

import json
import os
import shutil
import signal
import subprocess
import tempfile
import time

# How long a window may take to show a change: generous, as the machine may be busy. Nothing
# is timed; a check only gives up after this.
PATIENCE = 10.0


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

    def window(self, caption, condition=lambda w: True):
        """The window once it shows with the condition met; its last state otherwise."""
        found = wait_for(lambda: (lambda w: w if w and condition(w) else None)(
            self.windows().get(caption)))
        return found or self.windows().get(caption) or {}

    def active(self, caption):
        return self.window(caption, lambda w: w["active"])

    def gone(self, caption):
        return wait_for(lambda: caption not in self.windows()) is not None

    def start_session_bus(self):
        """A D-Bus session bus of the session's own, named in its environment."""
        bus = os.path.join(self.runtime, "bus")
        self.start(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                    f"--address=unix:path={bus}"], "dbus.log")
        wait_for(lambda: os.path.exists(bus))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={bus}"

    def exit_program(self):
        """Ctrl+X, as a user ends the program; whether it ended by itself, without an error.
        A program that does not end is stopped, so that the next check starts afresh."""
        self.type("ctrl+x")
        ended = wait_for(lambda: self.program.poll() is not None)
        if not ended:
            self.program.kill()
            self.program.wait()
        return bool(ended) and self.program.returncode == 0

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
        self.start_session_bus()
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
            mode = {"width": round(1280 * scale), "height": round(960 * scale),
                    "refreshRate": 60000}
            setup = {"lidClosed": False, "outputs": [
                {"enabled": True, "outputIndex": 0, "position": {"x": 0, "y": 0}, "priority": 0}]}
            json.dump([{"name": "outputs",
                        "data": [{"connectorName": output, "scale": scale, "mode": mode}]},
                       {"name": "setups", "data": [setup]}], config)
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
                         " : ws.activeClient;\n" + source + '\nsay("END");\n')
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
        # is moved there first, as a hand would, and the button pressed once the compositor has
        # taken it there: Xwayland, which the compositor hands it to over a window, has it there.
        x, y = int(x), int(y)
        self.xdotool(self.xvfb, "mousemove", str(x), str(y))
        wait_for(lambda: self.pointer() == (x, y))
        self.xdotool(self.xvfb, "click", "1")

    def pointer(self):
        """Where Xwayland has the pointer."""
        location = self.xdotool(self.session_env["DISPLAY"], "getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in location.split() if "=" in line)
        return int(values.get("X", -1)), int(values.get("Y", -1))

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
        self.start_session_bus()
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
