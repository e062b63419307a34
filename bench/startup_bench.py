#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Start-up benchmark: time to the first painted main window, and peak memory.

On the headless X server named by DISPLAY (scripts/bench runs it under a private Xvfb), starts
each program again and again as a separate process, taking turns, and measures for every run:

  * map:   time from just before the program is started until the X server reports that its
           main window was mapped (MapNotify on the root window's substructure);
  * paint: time until the program's first drawing into that window reached the server. The
           benchmark is an X client of its own: for every top-level window that a program
           creates it registers a DAMAGE object (X DAMAGE extension, report level NonEmpty)
           at once, so the server sends one DamageNotify the first time anything is drawn into
           the window. Qt creates its windows with no background (back pixmap None), so the
           server paints nothing itself on map: the first damage is the program's own first
           frame, put into the window from its backing store;
  * cpu:   the processor time that the program's threads had used by then (the sum of
           /proc/PID/task/*/schedstat, in nanoseconds), read as soon as the first paint is
           seen; it leaves out the time spent waiting for the processor, so it is far less
           disturbed than the wall-clock times when other work shares the machine;
  * rss:   the peak resident set size (VmHWM in /proc/PID/status), read a moment after the
           first paint, just before the program is ended.

Nothing is added to the programs: no environment variable, no preload, no patch. Times are
taken with the monotonic clock of this process, so they include process creation, dynamic
linking, the toolkit's start-up and the X round trips, as a user would see them.

Where allowed (as root), the benchmark raises its scheduling priority (nice -10), which the
programs inherit, so that other work on a shared machine disturbs the measurement
less; both programs get the same priority. With the kernel's automatic session groups, the nice
value of a process only counts inside its session, so the benchmark starts a session of its own
and sets the nice value of that session's group.

The first program given is the reference; each other program's medians are divided by the
reference's medians from the same run. The order of the programs turns round every round so
that no program always runs first.

Needs: python3-xlib, and an X server with the DAMAGE extension (Xvfb has it).
"""

import argparse
import json
import os
import random
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display
from Xlib.ext import damage


class BenchError(RuntimeError):
    pass


# ---------------------------------------------------------------------------------------------
# The X server


class XServer:
    """The X server named by DISPLAY (scripts/bench starts a private Xvfb for it), with a
    private runtime folder for the programs, removed on close."""

    def __init__(self):
        self.name = os.environ.get("DISPLAY")
        if not self.name:
            raise BenchError("no DISPLAY: run it on a headless X server, as scripts/bench does")
        self.tmp = tempfile.mkdtemp(prefix="startup-bench-")
        self.runtime = os.path.join(self.tmp, "runtime")
        os.mkdir(self.runtime, 0o700)

    def env(self):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith("QT_") and k != "WAYLAND_DISPLAY"}
        env.update(XDG_RUNTIME_DIR=self.runtime)
        return env

    def close(self):
        shutil.rmtree(self.tmp, ignore_errors=True)


# ---------------------------------------------------------------------------------------------
# Watching the programs' windows


class Watcher:
    """An X client that reports when a new top-level window is mapped and first drawn into."""

    def __init__(self, name):
        self.d = display.Display(name)
        if not self.d.has_extension("DAMAGE"):
            raise BenchError("the X server has no DAMAGE extension")
        self.d.damage_query_version()
        self.d.set_error_handler(lambda *args: None)  # windows may vanish under us
        self.root = self.d.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.d.sync()
        self.damages = {}

    def drain(self):
        self.d.sync()
        while self.d.pending_events():
            self.d.next_event()
        for dmg in self.damages.values():
            self.d.damage_destroy(dmg)
        self.damages.clear()
        self.d.sync()

    def run_once(self, argv, env, settle, timeout, trace=False, screenshot=None):
        """Starts argv; returns (map s, paint s, CPU s at paint, peak RSS KiB, window size)."""
        self.drain()
        fd = self.d.fileno()
        t0 = time.monotonic()
        proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        t_map = t_paint = None
        main = None
        size = None
        log = []
        try:
            deadline = t0 + timeout
            while t_paint is None:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise BenchError(f"{argv[0]}: no painted window within {timeout} s")
                if proc.poll() is not None:
                    raise BenchError(f"{argv[0]}: exited with {proc.returncode} before painting")
                if not self.d.pending_events():
                    select.select([fd], [], [], min(left, 0.5))
                while self.d.pending_events() and t_paint is None:
                    ev = self.d.next_event()
                    now = time.monotonic()
                    if ev.type == X.CreateNotify and ev.parent == self.root:
                        if not ev.override:
                            # Registered before the program can draw: it has still to map the
                            # window and wait for the server's Expose first.
                            self.damages[ev.window.id] = ev.window.damage_create(
                                damage.DamageReportNonEmpty)
                            self.d.flush()
                        if trace:
                            log.append((now - t0, "create", ev.window.id, ev.width, ev.height,
                                        ev.override))
                    elif ev.type == X.MapNotify and ev.event == self.root:
                        if trace:
                            log.append((now - t0, "map", ev.window.id, ev.override))
                        if main is None and not ev.override and ev.window.id in self.damages:
                            main, t_map = ev.window.id, now
                            geometry = ev.window.get_geometry()
                            size = (geometry.width, geometry.height)
                    elif ev.type == self.d.extension_event.DamageNotify:
                        if trace:
                            log.append((now - t0, "damage", ev.drawable.id, ev.area.x, ev.area.y,
                                        ev.area.width, ev.area.height))
                        if main is not None and ev.drawable.id == main:
                            t_paint = now
                            cpu = cpu_seconds(proc.pid)
            time.sleep(settle)
            rss = peak_rss_kib(proc.pid)
            if screenshot:
                self.save_window(main, size, screenshot)
        finally:
            stop(proc)
        if trace:
            for entry in log:
                print("   trace %8.2f ms %s" % (entry[0] * 1000, " ".join(map(str, entry[1:]))),
                      file=sys.stderr)
        return t_map - t0, t_paint - t0, cpu, rss, size

    def save_window(self, window_id, size, path):
        """Writes what the window shows as a binary PPM (P6) file."""
        width, height = size
        window = self.d.create_resource_object("window", window_id)
        image = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
        pixels = image.data
        if not isinstance(pixels, bytes):
            pixels = pixels.encode("latin-1")
        rgb = bytearray(width * height * 3)
        rgb[0::3] = pixels[2::4]  # 24-bit TrueColor visual: the server sends B, G, R, pad
        rgb[1::3] = pixels[1::4]
        rgb[2::3] = pixels[0::4]
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (width, height))
            out.write(rgb)

    def close(self):
        self.d.close()


def cpu_seconds(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that has just ended
    return total / 1e9


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise BenchError(f"no VmHWM for process {pid}")


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


# ---------------------------------------------------------------------------------------------


def ratio_interval(mine, theirs, resamples=2000, seed=1):
    """A 90% bootstrap interval for median(mine) / median(theirs): how far the ratio of medians
    could move if the runs were drawn again under the same conditions."""
    draw = random.Random(seed)
    found = sorted(
        statistics.median(draw.choices(mine, k=len(mine))) /
        statistics.median(draw.choices(theirs, k=len(theirs)))
        for _ in range(resamples))
    return found[int(resamples * 0.05)], found[int(resamples * 0.95) - 1]


def raise_priority(target):
    """Sets the nice value of this process, and of its own session group, to target where
    allowed; returns the nice value in force."""
    if target >= os.nice(0):
        return os.nice(0)
    try:
        os.setpriority(os.PRIO_PROCESS, 0, target)
    except PermissionError:
        return os.nice(0)
    try:
        if os.getsid(0) != os.getpid():
            os.setsid()
        with open("/proc/self/autogroup", "w") as group:
            group.write(str(target))
    except OSError:
        pass  # no automatic session groups, or not allowed: the process nice value still holds
    return os.nice(0)


def parse_program(text):
    name, sep, path = text.partition("=")
    if not sep:
        name, path = os.path.basename(text), text
    if not (os.path.isfile(path) and os.access(path, os.X_OK)):
        raise argparse.ArgumentTypeError(f"not an executable program: {path}")
    return name, os.path.abspath(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("programs", nargs="+", type=parse_program, metavar="[NAME=]PROGRAM",
                        help="programs to compare; the first is the reference")
    parser.add_argument("--runs", type=int, default=20, help="measured runs of each (20)")
    parser.add_argument("--warmup", type=int, default=3, help="unmeasured runs of each first (3)")
    parser.add_argument("--settle", type=float, default=0.3,
                        help="seconds between the first paint and reading the peak RSS (0.3)")
    parser.add_argument("--timeout", type=float, default=30, help="seconds allowed per run (30)")
    parser.add_argument("--json", metavar="FILE", help="also write every sample to FILE")
    parser.add_argument("--screenshots", metavar="DIR",
                        help="save each program's window, as shown at the first measured run, "
                             "as DIR/NAME.ppm")
    parser.add_argument("--nice", type=int, default=-10,
                        help="scheduling priority to run at where allowed (-10)")
    parser.add_argument("--trace", action="store_true",
                        help="print every window event of every run to stderr")
    args = parser.parse_args()
    names = [name for name, _ in args.programs]
    if len(set(names)) != len(names):
        parser.error("give the programs distinct names (NAME=PROGRAM)")

    priority = raise_priority(args.nice)
    load_before = os.getloadavg()[0]
    server = XServer()
    samples = {name: [] for name in names}
    sizes = {}
    try:
        env = server.env()
        watcher = Watcher(server.name)
        try:
            parent = os.getppid()
            for round_ in range(args.warmup + args.runs):
                if os.getppid() != parent:
                    raise BenchError("the calling process has ended")
                shift = round_ % len(args.programs)
                order = args.programs[shift:] + args.programs[:shift]
                for name, path in order:
                    shot = None
                    if args.screenshots and round_ == args.warmup:
                        os.makedirs(args.screenshots, exist_ok=True)
                        shot = os.path.join(args.screenshots, name + ".ppm")
                    t_map, t_paint, cpu, rss, size = watcher.run_once(
                        [path], env, args.settle, args.timeout, args.trace, shot)
                    sizes[name] = size
                    if round_ >= args.warmup:
                        samples[name].append({"map_ms": t_map * 1000, "paint_ms": t_paint * 1000,
                                              "cpu_ms": cpu * 1000, "rss_kib": rss})
        finally:
            watcher.close()
    finally:
        server.close()

    reference = names[0]
    load_after = os.getloadavg()[0]

    def median(name, key):
        return statistics.median(s[key] for s in samples[name])

    def spread(name, key):
        values = sorted(s[key] for s in samples[name])
        return values[0], values[-1]

    print(f"Start-up, {args.runs} runs each after {args.warmup} warm-up runs, taking turns, "
          f"at nice {priority}; load average {load_before:.2f} before, {load_after:.2f} after; "
          f"medians (min-max)")
    print(f"{'program':<14} {'window':>8} {'mapped ms':>19} {'painted ms':>19} "
          f"{'CPU ms at paint':>19} {'peak RSS KiB':>21}")
    for name in names:
        size = "x".join(map(str, sizes[name]))
        cells = []
        for key, digits in (("map_ms", 1), ("paint_ms", 1), ("cpu_ms", 1), ("rss_kib", 0)):
            lo, hi = spread(name, key)
            width = 8 if digits == 0 else 6
            cells.append(f"{median(name, key):{width}.{digits}f} ({lo:.{digits}f}-{hi:.{digits}f})")
        print(f"{name:<14} {size:>8} " + " ".join(f"{c:>19}" for c in cells))
    ratios = {}
    for name in names[1:]:
        ratios[name] = {}
        for key in ("map_ms", "paint_ms", "cpu_ms", "rss_kib"):
            mine = [s[key] for s in samples[name]]
            theirs = [s[key] for s in samples[reference]]
            low, high = ratio_interval(mine, theirs)
            ratios[name][key] = {"median_ratio": statistics.median(mine) /
                                 statistics.median(theirs), "low": low, "high": high}
        print(f"ratio {name} / {reference} (90% bootstrap interval): " + ", ".join(
            f"{label} {r['median_ratio']:.3f} [{r['low']:.3f}-{r['high']:.3f}]"
            for label, r in (("painted", ratios[name]["paint_ms"]),
                             ("mapped", ratios[name]["map_ms"]),
                             ("CPU at paint", ratios[name]["cpu_ms"]),
                             ("peak RSS", ratios[name]["rss_kib"]))))
    if args.json:
        with open(args.json, "w") as out:
            json.dump({"reference": reference, "runs": args.runs, "warmup": args.warmup,
                       "nice": priority, "load_before": load_before, "load_after": load_after,
                       "ratios": ratios, "samples": samples}, out, indent=1)


if __name__ == "__main__":
    # Ended from outside: still stop the program under test on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    try:
        main()
    except BenchError as problem:
        print(f"startup_bench: {problem}", file=sys.stderr)
        sys.exit(1)
