#!/usr/bin/env python3
"""Reference flights: every scenario's telemetry and the vessel-life trace,
flown by this build and compared with the copies stored beside this script.

  reference.py check FLIGHT --bin DIR     fly one flight and compare it
  reference.py rewrite --bin DIR          fly them all and store the result
  reference.py list                       the flights, one name a line

A flight is a scenario under scenarios/ (its name without .scn), a resumed
flight under scenarios/resume/ ("resume-NAME": flies the save out/NAME.scn
that a scenario's script writes, with NAME.script), or "life" (the call
trace of the scripted vessel life, compared byte for byte).

Telemetry is compared column by column with the tolerances in columns.txt:
"exact" compares the text, "ABS REL" lets a value differ by
ABS + REL * max(|reference|, |new|). A column the file does not name fails
the check, so a new column gets a tolerance when it is added.
"""
import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SCENARIOS = os.path.join(ROOT, "scenarios")
RESUME = os.path.join(SCENARIOS, "resume")
LIFE = "life"
CONTEXT = 2  # rows shown before and after the first difference


def flights():
    names = sorted(f[:-4] for f in os.listdir(SCENARIOS) if f.endswith(".scn"))
    if os.path.isdir(RESUME):
        names += sorted("resume-" + f[:-7] for f in os.listdir(RESUME) if f.endswith(".script"))
    return names + [LIFE]


def stored_path(name):
    return os.path.join(HERE, name + (".trace" if name == LIFE else ".csv"))


def read_tolerances():
    tolerances = {}
    with open(os.path.join(HERE, "columns.txt")) as f:
        for number, line in enumerate(f, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if words[1:] == ["exact"]:
                tolerances[words[0]] = None
            elif len(words) == 3:
                tolerances[words[0]] = (float(words[1]), float(words[2]))
            else:
                sys.exit(f"columns.txt:{number}: expected 'COLUMN exact' or 'COLUMN ABS REL', found '{line.strip()}'")
    return tolerances


def run(cmd, cwd, stdout=subprocess.DEVNULL):
    result = subprocess.run(cmd, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE, text=True)
    if result.returncode not in (0, 1):  # 1: an expectation failed, which the scenario test reports
        sys.exit(f"{' '.join(cmd)} exited {result.returncode}:\n{result.stderr}")
    return result


def fly(name, bindir, work):
    """Flies one flight in the folder work; returns the text to compare."""
    sim = os.path.join(bindir, "tarvex-sim")
    if name == LIFE:
        cmd = [os.path.join(bindir, "tarvex-life"), os.path.join(bindir, "libTarvex.so"),
               os.path.join(bindir, "sound", "OrbiterSound.dll")]
        return run(cmd, work, stdout=subprocess.PIPE).stdout
    csv = os.path.join(work, name + ".csv")
    if name.startswith("resume-"):
        stem = name[len("resume-"):]
        save = os.path.join("out", stem + ".scn")
        maker = next((s for s in flights() if s != LIFE and not s.startswith("resume-")
                      and f"save {save}" in open(os.path.join(SCENARIOS, s + ".scn")).read()), None)
        if maker is None:
            sys.exit(f"{name}: no scenario's script saves {save}")
        run([sim, os.path.join(SCENARIOS, maker + ".scn"), "--quiet"], work)
        run([sim, save, "--quiet", "--script", os.path.join(RESUME, stem + ".script"), "--csv", csv], work)
    else:
        run([sim, os.path.join(SCENARIOS, name + ".scn"), "--quiet", "--csv", csv], work)
    with open(csv) as f:
        return f.read()


def number(text):
    try:
        return float(text)
    except ValueError:
        return math.nan


def differs(a, b, tolerance):
    """How far apart two values are, or 0 when they agree within the tolerance."""
    if a == b:
        return 0.0
    x, y = number(a), number(b)
    if math.isnan(x) or math.isnan(y):
        return math.inf  # text that is not a number, and differs
    gap = abs(x - y)
    absolute, relative = tolerance or (0.0, 0.0)
    return gap if gap > absolute + relative * max(abs(x), abs(y)) else 0.0


def column_key(column):
    # With several vessels the columns of the others carry the vessel's name.
    return column.rsplit(".", 1)[-1]


def compare_csv(name, stored, new, tolerances):
    """Returns (problem lines, changed columns as name -> rows)."""
    old_rows = [line.split(",") for line in stored.splitlines()]
    new_rows = [line.split(",") for line in new.splitlines()]
    if not old_rows or not new_rows:
        return [f"{name}: empty telemetry"], {}
    header = new_rows[0]
    if old_rows[0] != header:
        gone = [c for c in old_rows[0] if c not in header]
        added = [c for c in header if c not in old_rows[0]]
        return [f"{name}: the columns differ (gone: {', '.join(gone) or '-'}; new: {', '.join(added) or '-'})"], \
            {c: -1 for c in gone + added}
    problems = [f"{name}: column '{c}' has no tolerance in columns.txt" for c in header
                if column_key(c) not in tolerances]
    if problems:
        return problems, {}
    changed = {}
    rows = min(len(old_rows), len(new_rows))
    for col, column in enumerate(header):
        tolerance = tolerances[column_key(column)]
        first, worst, worst_row, count = None, 0.0, None, 0
        for r in range(1, rows):
            gap = differs(old_rows[r][col], new_rows[r][col], tolerance)
            if gap:
                count += 1
                first = r if first is None else first
                if gap > worst:
                    worst, worst_row = gap, r
        if first is None:
            continue
        changed[column] = count
        problems.append(f"{name}: column '{column}' differs in {count} of {rows - 1} rows, first at t = "
                        f"{old_rows[first][0]}; largest difference {worst:g} at t = {old_rows[worst_row][0]}"
                        + ("" if tolerance is None else f" (tolerance {tolerance[0]:g} + {tolerance[1]:g} x value)"))
        problems.append(f"    {'t':>12} {'reference':>14} {'this build':>14}")
        for r in range(max(1, first - CONTEXT), min(rows, first + CONTEXT + 1)):
            mark = "  <" if r == first else ""
            problems.append(f"    {old_rows[r][0]:>12} {old_rows[r][col]:>14} {new_rows[r][col]:>14}{mark}")
    if len(old_rows) != len(new_rows):
        problems.append(f"{name}: {len(old_rows) - 1} rows in the reference, {len(new_rows) - 1} in this flight")
        changed.setdefault("(rows)", abs(len(old_rows) - len(new_rows)))
    return problems, changed


def changed_lines(stored, new):
    """How many lines of the trace differ (removed plus added, as diff counts them)."""
    with tempfile.TemporaryDirectory() as tmp:
        a, b = os.path.join(tmp, "a"), os.path.join(tmp, "b")
        open(a, "w").write(stored)
        open(b, "w").write(new)
        out = subprocess.run(["diff", a, b], stdout=subprocess.PIPE, text=True).stdout
    return sum(1 for line in out.splitlines() if line[:2] in ("< ", "> "))


def compare_trace(stored, new):
    if stored == new:
        return [], 0
    old_lines, new_lines = stored.splitlines(), new.splitlines()
    first = next((i for i, (a, b) in enumerate(zip(old_lines, new_lines)) if a != b),
                 min(len(old_lines), len(new_lines)))
    count = changed_lines(stored, new)
    problems = [f"life: the trace differs from line {first + 1} on ({count} lines changed; "
                f"{len(old_lines)} lines in the reference, {len(new_lines)} in this build)"]
    for i in range(max(0, first - CONTEXT), first + CONTEXT + 1):
        mark = "<" if i == first else " "
        if i < len(old_lines):
            problems.append(f"  {mark} reference {i + 1:>6}: {old_lines[i]}")
        if i < len(new_lines):
            problems.append(f"  {mark} this build {i + 1:>5}: {new_lines[i]}")
    return problems, count


def stored_text(name):
    path = stored_path(name)
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return f.read()


def check(name, bindir):
    if name not in flights():
        sys.exit(f"unknown flight '{name}' (known: {', '.join(flights())})")
    stored = stored_text(name)
    if stored is None:
        sys.exit(f"{name}: no stored reference {os.path.relpath(stored_path(name), ROOT)}: run 'make reference'")
    with tempfile.TemporaryDirectory() as work:
        new = fly(name, bindir, work)
    if name == LIFE:
        problems, _ = compare_trace(stored, new)
    else:
        problems, _ = compare_csv(name, stored, new, read_tolerances())
    for line in problems:
        print(line)
    if problems:
        print(f"{name}: differs from its reference; if the change is intended, run 'make reference' "
              "and commit the new reference with the change, saying why")
        return 1
    print(f"{name}: same as its reference")
    return 0


def rewrite(bindir):
    tolerances = read_tolerances()
    for name in flights():
        stored = stored_text(name)
        with tempfile.TemporaryDirectory() as work:
            new = fly(name, bindir, work)
        if stored is None:
            summary = "new reference"
        elif name == LIFE:
            count = compare_trace(stored, new)[1]
            summary = f"{count} trace lines changed" if count else "unchanged"
        else:
            changed = compare_csv(name, stored, new, tolerances)[1]
            summary = ("columns changed: " + ", ".join(f"{c} ({n} rows)" if n >= 0 else c
                                                       for c, n in changed.items())) if changed else "unchanged"
            if stored != new and not changed:
                summary = "unchanged within the tolerances (text rewritten)"
        with open(stored_path(name), "w") as f:
            f.write(new)
        print(f"{name}: {summary}")
    known = {os.path.basename(stored_path(n)) for n in flights()}
    for f in sorted(os.listdir(HERE)):
        if f.endswith((".csv", ".trace")) and f not in known:
            os.remove(os.path.join(HERE, f))
            print(f"{f[:f.rindex('.')]}: removed (no such flight)")
    return 0


def main(argv):
    args = argv[1:]
    bindir = None
    if "--bin" in args:
        i = args.index("--bin")
        bindir = os.path.abspath(args[i + 1])
        del args[i:i + 2]
    if args == ["list"]:
        print("\n".join(flights()))
        return 0
    if bindir and len(args) == 2 and args[0] == "check":
        return check(args[1], bindir)
    if bindir and args == ["rewrite"]:
        return rewrite(bindir)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
