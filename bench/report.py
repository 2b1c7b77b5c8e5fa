#!/usr/bin/env python3
"""Runs every benchmark and prints one table with the aim of each.

The module's own benchmarks come from tarvex_bench (Google Benchmark, JSON
output), each repeated and judged by the median of its repetitions. The whole
flight is the demo's script flown by tarvex-sim as a user flies it (sound
service loaded, 120 steps a second, 24,000 steps), once without output and
once with a CSV row every step: its CPU time per step is the median over
repeated runs, less the median of runs that stop before the first step; its
instructions per step come from valgrind's callgrind the same way, and do not
move with the machine's load. The caps' rows run the largest input each cap
of the flight host allows, by the median CPU time and the peak memory (the
"instr/step" column then holds the memory).

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

# The largest input each of the flight host's caps allows (and one just past
# it, refused), each checked (read, checked, loaded and set up, no step
# flown) or flown as named: aim at most 1 s of CPU and 1 GB of memory.
CAP_CPU_S = 1.0
CAP_MEMORY_KB = 1024 * 1024
VESSEL_CAP, SCRIPT_LINE_CAP, SCRIPT_OUTPUT_CAP, INPUT_CAP = 1000, 100000, 1000, 4 << 20


def fleet(n):
    return "BEGIN_SHIPS\n" + "".join(f"Tarvex{i}:Tarvex\n  STATUS Landed\n  POS {40 * i} 0 0\nEND\n"
                                     for i in range(n)) + "END_SHIPS\n"


def longest_script(line):
    """As many copies of a script line as the 4 MiB input cap allows."""
    return line * ((INPUT_CAP - 1) // len(line))


CAPS = [
    (f"{VESSEL_CAP:,} vessels (the vessel cap), checked", {"s.scn": fleet(VESSEL_CAP)}, ["s.scn", "--duration", "0"]),
    (f"{VESSEL_CAP:,} vessels flown 1 s with sound", {"s.scn": fleet(VESSEL_CAP)}, ["s.scn", "--duration", "1"]),
    ("4 MiB of vessel blocks (refused past the vessel cap)",
     {"s.scn": "BEGIN_SHIPS\n" + "a:T\nEND\n" * ((INPUT_CAP - 24) // 8) + "END_SHIPS\n"}, ["s.scn"]),
    (f"{SCRIPT_LINE_CAP:,} script lines (the line cap), checked",
     {"s.txt": "".join(f"{i * 0.001:.3f} key E\n" for i in range(SCRIPT_LINE_CAP))},
     ["--script", "s.txt", "--duration", "0"]),
    ("4 MiB of script lines (refused past the line cap)", {"s.txt": longest_script("0 key E\n")},
     ["--script", "s.txt"]),
    (f"{SCRIPT_OUTPUT_CAP:,} script saves (the output cap), checked",
     {"s.txt": "".join(f"{i}.5 save out/s{i}.scn\n" for i in range(SCRIPT_OUTPUT_CAP))},
     ["--script", "s.txt", "--duration", "0"]),
    ("report of a 3,600 s flight, HUD frame every 0.01 s (frame cap)", {},
     [DEMO, "--report", "r.html", "--hud-every", "0.01", "--duration", "3600"]),
]


def run_measured(cmd, cwd):
    """(CPU seconds, peak memory in KB) of one run."""
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 1, 2):
        raise RuntimeError(f"exit status {code}")
    return usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def cap_rows(repetitions, tmp):
    rows = []
    for what, files, args in CAPS:
        for name, text in files.items():
            with open(os.path.join(tmp, name), "w") as f:
                f.write(text)
        try:
            runs = [run_measured([SIM, "--quiet"] + args, tmp) for _ in range(repetitions)]
        except (OSError, RuntimeError) as e:
            rows.append((what, f"not run: {e}", "", "", "", "MISSED"))
            continue
        cpu = statistics.median(r[0] for r in runs)
        memory = max(r[1] for r in runs)
        rows.append((what, f"{cpu:.3f} s CPU", f"{memory / 1024:,.0f} MB", f"<= {CAP_CPU_S:g} s",
                     f"<= {CAP_MEMORY_KB // 1024:,} MB", verdict(cpu <= CAP_CPU_S, memory <= CAP_MEMORY_KB)))
    return rows


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
        rows += cap_rows(repetitions, tmp)
    head = ("benchmark", f"median of {repetitions}", "instr/step", "aim", "aim instr", "")
    widths = [max(len(r[i]) for r in rows + [head]) for i in range(len(head))]
    line = lambda r: "  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip()
    print(line(head))
    print(line(tuple("-" * w for w in widths)))
    for r in rows:
        print(line(r))


if __name__ == "__main__":
    main()
