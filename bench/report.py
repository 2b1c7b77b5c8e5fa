#!/usr/bin/env python3
"""Runs every benchmark and prints one table with the aim of each.

The module's own benchmarks come from tarvex_bench (Google Benchmark, JSON
output); the flight host's speed is measured by flying a long headless run of
tarvex-sim and counting steps per second of wall time.
"""
import json
import os
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.join(ROOT, "build", "bin")

# (pattern on the benchmark name, what is measured, aim in ns of CPU per call)
AIMS = [
    (r"^BM_PostStep", "flight step, trace off", 1000.0),
    (r"LiftCoeff", "airfoil coefficient call", 10.0),
    (r"DrawHUD|Hud", "HUD draw, surface mode", 5000.0),
]


def run_module_benchmarks(min_time):
    out = subprocess.run(
        [os.path.join(BIN, "tarvex_bench"), "--benchmark_format=json", f"--benchmark_min_time={min_time}"],
        check=True, capture_output=True, text=True).stdout
    return json.loads(out)["benchmarks"]


def sim_steps_per_second(seconds_simulated):
    sim = os.path.join(BIN, "tarvex-sim")
    scenario = os.path.join(ROOT, "scenarios", "bench.scn")
    if not os.path.exists(scenario):
        scenario = os.path.join(ROOT, "scenarios", "demo.scn")
    dt = 1.0 / 60
    cmd = [sim, scenario, "--duration", str(seconds_simulated), "--dt", str(dt), "--quiet", "--no-sound",
           "--every", "1000000000"]
    start = time.perf_counter()
    proc = subprocess.run(cmd, capture_output=True, text=True)
    wall = time.perf_counter() - start
    if proc.returncode not in (0, 1):
        return None, proc.stderr.strip()
    return seconds_simulated / dt / wall, None


def main():
    quick = "--quick" in sys.argv
    rows = []
    for b in run_module_benchmarks("0.05" if quick else "0.5"):
        if b.get("run_type") == "aggregate":
            continue
        name = b["name"]
        cpu = b["cpu_time"] if b.get("time_unit", "ns") == "ns" else b["cpu_time"] * {"us": 1e3, "ms": 1e6}[b["time_unit"]]
        aim_text, verdict = "", ""
        for pattern, what, aim in AIMS:
            if re.search(pattern, name):
                aim_text = f"<= {aim:g} ns"
                verdict = "met" if cpu <= aim else "MISSED"
        if "items_per_second" in b and name.startswith("BM_Sim"):
            rate = b["items_per_second"]
            rows.append((name + " (flight host step)", f"{rate:,.0f} steps/s", ">= 100000 steps/s",
                         "met" if rate >= 100000 else "MISSED"))
            continue
        rows.append((name, f"{cpu:.1f} ns CPU", aim_text, verdict))
        if "allocs_per_step" in b:
            allocs = b["allocs_per_step"]
            rows.append((name + " allocations", f"{allocs:g} per step", "0 per step", "met" if allocs == 0 else "MISSED"))
    rate, error = sim_steps_per_second(2000 if quick else 20000)
    if rate is None:
        rows.append(("tarvex-sim demo, whole command", "not run: " + error, ">= 100000 steps/s", ""))
    else:
        rows.append(("tarvex-sim demo, whole command", f"{rate:,.0f} steps/s", ">= 100000 steps/s",
                     "met" if rate >= 100000 else "MISSED"))
    widths = [max(len(r[i]) for r in rows + [("benchmark", "measured", "aim", "")]) for i in range(4)]
    line = lambda r: "  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip()
    print(line(("benchmark", "measured", "aim", "")))
    print(line(tuple("-" * w for w in widths)))
    for r in rows:
        print(line(r))


if __name__ == "__main__":
    main()
