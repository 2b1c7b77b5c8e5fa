#!/usr/bin/env python3
"""Runs every benchmark and prints one table with the aim of each.

The module's own benchmarks come from tarvex_bench (Google Benchmark, JSON
output), each repeated and judged by the median of its repetitions. The whole
flight is the demo's script flown by tarvex-sim as a user flies it (sound
service loaded, 120 steps a second, 24,000 steps), once without output and
once with a CSV row every step: its CPU time per step is the median over
repeated runs, less the median of runs that stop before the first step; its
instructions per step come from valgrind's callgrind the same way, and do not
move with the machine's load.

    python3 bench/report.py [--quick] [--repetitions N] [--no-callgrind]
"""
import json
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.join(ROOT, "build", "bin")
SIM = os.path.join(BIN, "tarvex-sim")
DEMO = os.path.join(ROOT, "scenarios", "demo.scn")
FLIGHT_STEPS = 24000
FLIGHT_DT = "0.008333333333333333"  # 1/120 s
FLIGHT_SECONDS = "200"

# (pattern on the benchmark name, what is measured, aim in ns of CPU, divide by the "vessels" counter)
AIMS = [
    (r"^BM_PostStep", "one module step (clbkPostStep)", 1000.0, False),
    (r"LiftCoeff", "one airfoil call", 10.0, False),
    (r"DrawHud", "one HUD redraw, surface mode", 5000.0, False),
    (r"FleetParked100", "per vessel-step, 100 vessels parked, engines running", 1500.0, True),
]
# (what, extra tarvex-sim options, aim in ns of CPU per step, aim in instructions per step)
FLIGHTS = [
    ("whole flight, demo script, no output", [], 2000.0, 15000),
    ("whole flight, demo script, CSV row every step", ["--csv", "{tmp}/flight.csv"], 4000.0, 30000),
]


def run_module_benchmarks(min_time, repetitions):
    out = subprocess.run(
        [os.path.join(BIN, "tarvex_bench"), "--benchmark_format=json", f"--benchmark_min_time={min_time}",
         f"--benchmark_repetitions={repetitions}", "--benchmark_report_aggregates_only=true"],
        check=True, capture_output=True, text=True).stdout
    return json.loads(out)["benchmarks"]


def flight_command(extra, tmp, steps):
    seconds = FLIGHT_SECONDS if steps else "0"
    return [SIM, DEMO, "--duration", seconds, "--dt", FLIGHT_DT, "--quiet"] + [a.format(tmp=tmp) for a in extra]


def cpu_seconds(cmd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    proc = subprocess.run(cmd, capture_output=True, text=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if proc.returncode not in (0, 1):
        raise RuntimeError(proc.stderr.strip() or f"exit status {proc.returncode}")
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def instructions(cmd, tmp):
    out = os.path.join(tmp, "callgrind.out")
    proc = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}"] + cmd,
                          capture_output=True, text=True)
    found = re.search(r"Collected : (\d+)", proc.stderr)
    if not found:
        raise RuntimeError("callgrind gave no count")
    return int(found.group(1))


def whole_flight(extra, repetitions, callgrind, tmp):
    """(ns of CPU per step, instructions per step or None)."""
    full = statistics.median(cpu_seconds(flight_command(extra, tmp, True)) for _ in range(repetitions))
    start = statistics.median(cpu_seconds(flight_command(extra, tmp, False)) for _ in range(repetitions))
    ns = max(full - start, 0) / FLIGHT_STEPS * 1e9
    instr = None
    if callgrind:
        instr = (instructions(flight_command(extra, tmp, True), tmp) -
                 instructions(flight_command(extra, tmp, False), tmp)) / FLIGHT_STEPS
    return ns, instr


def verdict(*checks):
    return "met" if all(checks) else "MISSED"


def main():
    args = sys.argv[1:]
    quick = "--quick" in args
    repetitions = 5
    if "--repetitions" in args:
        repetitions = max(5, int(args[args.index("--repetitions") + 1]))
    callgrind = "--no-callgrind" not in args and shutil.which("valgrind") is not None
    rows = []
    failed = set()
    for b in run_module_benchmarks("0.05" if quick else "0.3", repetitions):
        name = b["run_name"]
        if b.get("error_occurred"):
            if name not in failed:
                rows.append((name, "not measured: " + b.get("error_message", ""), "", "", "", "MISSED"))
            failed.add(name)
            continue
        if b.get("aggregate_name") != "median":
            continue
        cpu = b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        label = name
        aim_text, met = "", ""
        for pattern, what, aim, per_vessel in AIMS:
            if re.search(pattern, name):
                if per_vessel:
                    cpu /= b.get("vessels", 1)
                label = f"{name} ({what})"
                aim_text = f"<= {aim:g} ns"
                met = verdict(cpu <= aim)
        rows.append((label, f"{cpu:,.1f} ns", "", aim_text, "", met))
        if "allocs_per_step" in b:
            allocs = b["allocs_per_step"]
            rows.append((name + " allocations", f"{allocs:g} per step", "", "0 per step", "", verdict(allocs == 0)))
    with tempfile.TemporaryDirectory() as tmp:
        for what, extra, aim_ns, aim_instr in FLIGHTS:
            label = f"{what} ({FLIGHT_STEPS:,} steps)"
            try:
                ns, instr = whole_flight(extra, repetitions, callgrind, tmp)
            except (OSError, RuntimeError) as e:
                rows.append((label, f"not run: {e}", "", "", "", "MISSED"))
                continue
            instr_text = f"{instr:,.0f}" if instr is not None else "no valgrind"
            met = verdict(ns <= aim_ns, instr is not None and instr <= aim_instr)
            rows.append((label, f"{ns:,.0f} ns per step", instr_text, f"<= {aim_ns:g} ns", f"<= {aim_instr:,}", met))
    head = ("benchmark", f"median of {repetitions}", "instr/step", "aim", "aim instr", "")
    widths = [max(len(r[i]) for r in rows + [head]) for i in range(len(head))]
    line = lambda r: "  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip()
    print(line(head))
    print(line(tuple("-" * w for w in widths)))
    for r in rows:
        print(line(r))


if __name__ == "__main__":
    main()
