#!/usr/bin/env python3
"""Time from process start to the first painted screen: Kestrel's menu stage against an empty
QMainWindow, started alternately in the same run. Each program prints the monotonic clock once
its screen is painted (KESTREL_FIRST_PAINT_PROBE); this launcher reads the same clock just before
starting it. Needs a display (run under xvfb-run). Settings go to a temporary home, so the first
start of Kestrel is a first start (cold) and the rest are warm."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

TARGET_MS = 250.0


def start_to_paint_ms(program, env):
    started = time.monotonic_ns()
    done = subprocess.run([program], env=env, capture_output=True, text=True, timeout=60)
    for line in done.stdout.splitlines():
        if line.startswith("first-paint "):
            return (int(line.split()[1]) - started) / 1e6
    raise SystemExit(f"{program} ended ({done.returncode}) without painting:\n{done.stderr}")


def main():
    if len(sys.argv) < 3:
        raise SystemExit("usage: measure.py KESTREL EMPTY_WINDOW [RUNS]")
    kestrel, empty = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, HOME=home, KESTREL_FIRST_PAINT_PROBE="1", KESTREL_MESSAGES_TO_STDERR="1")
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"):
            env[name] = os.path.join(home, name.lower())
        cold = start_to_paint_ms(kestrel, env)
        times = {"kestrel": [], "empty": []}
        for _ in range(runs):
            times["empty"].append(start_to_paint_ms(empty, env))
            times["kestrel"].append(start_to_paint_ms(kestrel, env))
    print(f"first start of Kestrel (no settings yet): {cold:.1f} ms")
    for name, label in (("kestrel", "Kestrel menu stage"), ("empty", "empty QMainWindow")):
        values = times[name]
        print(f"{label}: median {statistics.median(values):.1f} ms, "
              f"min {min(values):.1f}, max {max(values):.1f} ({len(values)} starts)")
    warm = statistics.median(times["kestrel"])
    print(f"target: under {TARGET_MS:.0f} ms -> {'met' if warm < TARGET_MS else 'MISSED'}")
    return 0 if warm < TARGET_MS else 1


if __name__ == "__main__":
    sys.exit(main())
