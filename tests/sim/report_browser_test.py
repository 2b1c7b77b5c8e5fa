#!/usr/bin/env python3
"""The flight report in a real browser: flies a short scenario with one
expectation failing on purpose, opens its report in headless Chromium with a
test script added, moves the time slider and checks what the page shows.
Exit 77 (skipped) when no Chromium is installed."""
import html, json, os, re, shutil, subprocess, sys, tempfile

SCENARIO = """BEGIN_DESC
Short flight for the report test.
END_DESC
BEGIN_ENVIRONMENT
  Camera internal
  Cockpit virtual
  HUD surface
END_ENVIRONMENT
BEGIN_SHIPS
Tarvex1:Tarvex
  STATUS Landed
  FUEL 8000
END
END_SHIPS
BEGIN_SCRIPT
0.5 key E
1   key 0
6   expect nozzle_anim >= 0.99
6   expect hud "HOVER SET"
6   set main 0.9
9   expect ground == 0
9   expect alt > 1000        ; fails on purpose
9   expect sound 10 playing
END_SCRIPT
"""

# Runs once the page has loaded; the verdict goes into the page as JSON.
CHECKS = """<script>
window.addEventListener('load', () => {
  const fails = [];
  const slider = document.getElementById('slider');
  const at = t => { slider.value = t; slider.dispatchEvent(new Event('input')); return document.querySelector('#frames svg.on'); };
  const early = at(0.6), late = at(8);
  const cell = k => document.getElementById('s-' + k).textContent;
  if (!early || !late) fails.push('no HUD frame shown');
  else {
    if (early === late) fails.push('the same frame at 0.6 s and 8 s');
    if (Math.abs(+late.dataset.t - 8) > 0.5) fails.push('frame at ' + late.dataset.t + ' s shown for 8 s');
    for (const [f, want, ok] of [[early, /NOZZLE# 0/, true], [early, /HOVER SET/, false], [late, /HOVER SET/, true],
                                 [late, /THRUST 90\\.0/, true], [late, /NOZZLE#/, false], [early, /KTS 0/, true]])
      if (want.test(f.textContent) !== ok) fails.push((ok ? 'missing ' : 'unexpected ') + want + ' at ' + f.dataset.t);
    if (late.querySelectorAll('ellipse,rect:not(:first-child)').length < 3) fails.push('no gear symbol at 8 s');
    if (!(parseFloat(cell('alt')) > 1)) fails.push('state table altitude at 8 s: ' + cell('alt'));
    if (cell('holds') !== 'none') fails.push('holds at 8 s: ' + cell('holds'));
  }
  const rows = Array.from(document.querySelectorAll('#expectations tr')).slice(1).map(r =>
    Array.from(r.cells).map(c => c.textContent));
  const out = document.createElement('pre');
  out.id = 'verdict';
  out.textContent = JSON.stringify({errors: window.pageErrors, fails, rows});
  document.body.appendChild(out);
});
</script>"""


def main():
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        print("SKIPPED: no chromium installed (apt-get install chromium)")
        return 77
    sim, work = sys.argv[1], tempfile.mkdtemp(prefix="tarvex-report-")
    try:
        scn = os.path.join(work, "short.scn")
        with open(scn, "w") as f:
            f.write(SCENARIO)
        run = subprocess.run([sim, scn, "--quiet", "--report", "report.html", "--hud-every", "0.5"], cwd=work,
                             capture_output=True, text=True, timeout=120)
        failed = re.findall(r"short\.scn:(\d+): expectation failed at t=[\d.]+ s: .* \(actual (.*)\)", run.stderr)
        if run.returncode != 1 or len(failed) != 1:
            return print("the run should fail one expectation:", run.returncode, run.stderr) or 1
        with open(os.path.join(work, "report.html")) as f:
            page = f.read()
        page = page.replace("<head>", "<head><script>window.pageErrors = [];"
                            "window.addEventListener('error', e => pageErrors.push(e.message));</script>", 1)
        page = page.replace("</body>", CHECKS + "</body>", 1)
        test_page = os.path.join(work, "test.html")
        with open(test_page, "w") as f:
            f.write(page)
        dom = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + work + "/profile",
                              "--virtual-time-budget=5000", "--dump-dom", "file://" + test_page],
                             capture_output=True, text=True, timeout=120).stdout
        m = re.search(r'<pre id="verdict">(.*?)</pre>', dom, re.S)
        if not m:
            return print("the page gave no verdict; its end:", dom[-2000:]) or 1
        v = json.loads(html.unescape(m.group(1)))
        problems = ["script error: " + e for e in v["errors"]] + v["fails"]
        expected = [l for l in SCENARIO.split("BEGIN_SCRIPT\n")[1].splitlines() if " expect " in l]
        if len(v["rows"]) != len(expected):
            problems.append("%d expectations in the table, %d in the script" % (len(v["rows"]), len(expected)))
        for where, t, source, verdict, actual in v["rows"]:
            line = where.rsplit(":", 1)[1]
            should_fail = line == failed[0][0]
            if (verdict == "FAILED") != should_fail or (should_fail and actual != failed[0][1]):
                problems.append("expectation row %s: %s %s (actual %s)" % (where, source, verdict, actual))
        for p in problems:
            print(p)
        return 1 if problems else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
