#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Writes the short benchmark report from the JSON files of core_bench and startup_bench.py.

Usage: report.py CORE_JSON STARTUP_JSON

Prints the date, the machine, the core figures (medians over the repetitions) and the start-up
figures (medians, ratios to the baseline measured in the same run), each against its target.
Only reports: the exit status says whether the figures could be read, not whether the targets
were met, because timings on a shared machine are not a pass/fail test.
"""

import datetime
import json
import os
import statistics
import sys

# Targets. Times in nanoseconds for the core, ratios for the start-up.
ALL_COMBINATIONS_NS = 5e6
CONTROLLER_CALCULATE_NS = 2e3
PAINT_RATIO = 1.15
RSS_RATIO = 1.10


def machine():
    model = "unknown processor"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return f"{os.cpu_count()} processors, {model}"


def verdict(value, limit):
    return "met" if value < limit else "NOT met"


def core_medians(path):
    with open(path) as data:
        report = json.load(data)
    medians = {}
    for bench in report["benchmarks"]:
        if bench.get("aggregate_name") == "median":
            scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[bench["time_unit"]]
            medians[bench["run_name"]] = (bench["real_time"] * scale, bench["cpu_time"] * scale)
    return medians


def show_time(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} us"
    return f"{ns:.1f} ns"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[2])
    core = core_medians(sys.argv[1])
    with open(sys.argv[2]) as data:
        startup = json.load(data)

    print(f"Benchmark report, {datetime.date.today().isoformat()}")
    print(f"Machine: {machine()}")
    print()
    print("Core (Google Benchmark, one thread, medians of the repetitions; the targets are "
          "judged on processor time)")
    print(f"  {'case':<34} {'wall':>10} {'processor':>10}")
    for name, (real, cpu) in core.items():
        print(f"  {name:<34} {show_time(real):>10} {show_time(cpu):>10}")
    if "BM_AllReachableCombinations" in core:
        cpu = core["BM_AllReachableCombinations"][1]
        print(f"  all 38,304 combinations under 5 ms: {verdict(cpu, ALL_COMBINATIONS_NS)}")
    if "BM_ControllerCalculate" in core:
        cpu = core["BM_ControllerCalculate"][1]
        print(f"  one Calculate through the controller under 2 us: "
              f"{verdict(cpu, CONTROLLER_CALCULATE_NS)}")
    print()

    samples = startup["samples"]
    reference = startup["reference"]
    print(f"Start-up ({startup['runs']} runs of each after {startup['warmup']} warm-up runs, "
          f"taking turns, on a private Xvfb, at nice {startup.get('nice', 0)}; medians)")
    print(f"  1-minute load average {startup['load_before']:.2f} before, "
          f"{startup['load_after']:.2f} after: other work on the machine slows both programs "
          f"and blurs the ratios")
    print(f"  {'program':<14} {'mapped':>9} {'painted':>9} {'CPU':>9} {'peak RSS':>11}")

    def median(name, key):
        return statistics.median(sample[key] for sample in samples[name])

    for name in samples:
        print(f"  {name:<14} {median(name, 'map_ms'):6.1f} ms {median(name, 'paint_ms'):6.1f} ms"
              f" {median(name, 'cpu_ms'):6.1f} ms {median(name, 'rss_kib'):7.0f} KiB")
    print(f"  ratios of the medians to {reference}'s, with 90% bootstrap intervals:")
    for name, ratios in startup["ratios"].items():

        def show(key):
            r = ratios[key]
            return f"{r['median_ratio']:.3f} [{r['low']:.3f}-{r['high']:.3f}]"

        paint = ratios["paint_ms"]["median_ratio"]
        rss = ratios["rss_kib"]["median_ratio"]
        print(f"  {name} / {reference}:")
        print(f"    painted window {show('paint_ms')}: target at most {PAINT_RATIO:.2f} "
              f"{verdict(paint, PAINT_RATIO + 1e-12)}")
        print(f"    peak RSS       {show('rss_kib')}: target at most {RSS_RATIO:.2f} "
              f"{verdict(rss, RSS_RATIO + 1e-12)}")
        print(f"    CPU to the first paint {show('cpu_ms')}, mapped window {show('map_ms')}")


if __name__ == "__main__":
    main()
