#!/usr/bin/env python3
"""The flight report in a real browser: flies a short scenario with two
expectations failing on purpose, opens its report in headless Chromium, 390 px
wide as a phone, with a test script added, moves the time slider, clicks the
failure banner and the expectation rows, and checks what the page shows and
that nothing is wider than the screen. Exit 77 (skipped) when no Chromium is
installed."""
import html, json, os, re, shutil, subprocess, sys, tempfile

SCENARIO = """BEGIN_DESC
Short flight
for the report test.

Its second paragraph.
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
expect always alt < 1000
2..4 expect alt > 50         ; fails on purpose, on the ground
when ground == 0 after 1: expect vs > 0
END_SCRIPT
"""

# Runs once the page has loaded; the verdict goes into the page as JSON.
CHECKS = """<script>
window.addEventListener('load', () => {
  const fails = [];
  let rows = [], lines = '';
  try {
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
  // A phone's width: nothing wider than the screen, wide tables scroll in their box.
  const w = window.innerWidth;
  if (w > 400) fails.push('the window is ' + w + ' px wide, not the 390 of a phone');
  if (!document.querySelector('meta[name=viewport]')) fails.push('no viewport meta tag');
  if (document.documentElement.scrollWidth > w) fails.push('the page scrolls sideways: ' + document.documentElement.scrollWidth + ' px');
  for (const [sel, what] of [['#chart svg', 'chart'], ['#frames svg.on', 'HUD frame'], ['#summary', 'summary'],
                             ['#failures', 'failure banner'], ['#slider', 'slider']].concat(
                              Array.from(document.querySelectorAll('.wide'), (e, i) => [e, 'table box ' + i]))) {
    const el = typeof sel === 'string' ? document.querySelector(sel) : sel;
    if (!el) fails.push('no ' + what);
    else if (el.getBoundingClientRect().right > w + 0.5) fails.push(what + ' reaches ' + el.getBoundingClientRect().right + ' px');
  }
  const desc = Array.from(document.querySelectorAll('p.desc'), p => p.textContent);
  if (desc.join('|') !== 'Short flight for the report test.|Its second paragraph.') fails.push('description: ' + desc.join('|'));
  // The banner lists every failure; a click on one, or on an expectation row,
  // moves the slider to its time, and the address follows the slider.
  const near = (t, what) => {
    if (Math.abs(+slider.value - t) > +slider.step) fails.push(what + ': slider at ' + slider.value + ', not ' + t);
    const m = /^#t=([0-9.]+)$/.exec(location.hash);
    if (!m || Math.abs(+m[1] - +slider.value) > 0.006) fails.push(what + ': address ' + location.hash + ' with the slider at ' + slider.value);
  };
  const banner = Array.from(document.querySelectorAll('#failures li a'));
  if (banner.length !== 2) fails.push(banner.length + ' failures in the banner, not 2');
  banner.forEach(a => { a.click(); near(+a.dataset.t, 'banner ' + a.textContent); });
  lines = banner.map(a => a.textContent.split(' ')[0].split(':')[1]).sort().join(',');
  const row = Array.from(document.querySelectorAll('#expectations tr[data-t]')).pop();
  row.click();
  near(+row.dataset.t, 'expectation row ' + row.cells[0].textContent);
  at(3);
  near(3, 'slider moved');
  if (document.querySelectorAll('#chart path.failure').length < 2) fails.push('the failures are not marked on the chart');
  const bands = Array.from(document.querySelectorAll('#chart rect.band'), b => b.getAttribute('class')).join(',');
  if (bands !== 'band passed,band failed') fails.push('bands on the chart: ' + bands);
  if (!/when ground == 0 after 1: expect vs > 0/.test(document.getElementById('events').textContent))
    fails.push('the condition fired is not in the timeline');
  rows = Array.from(document.querySelectorAll('#expectations tr')).slice(1).map(r =>
    Array.from(r.cells).map(c => c.textContent));
  } catch (e) { fails.push('the test script stopped: ' + e.message); }
  const out = document.createElement('pre');
  out.id = 'verdict';
  out.textContent = JSON.stringify({errors: window.pageErrors, fails, rows, lines});
  document.body.appendChild(out);
  if (parent !== window) parent.postMessage(out.textContent, '*');
});
</script>"""

# Headless Chromium's window is at least 500 px wide: the report is shown in a
# frame as wide as a phone, and its verdict comes up from there.
PHONE = """<!DOCTYPE html><html><body style="margin:0">
<iframe src="test.html" style="width:390px;height:844px;border:0"></iframe>
<script>addEventListener('message', e => {
  const p = document.createElement('pre'); p.id = 'verdict'; p.textContent = e.data; document.body.appendChild(p); });
</script></body></html>"""


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
        failed = dict(re.findall(r"short\.scn:(\d+): expectation failed (?:at|from) t=[\d.]+ s: .* \(actual (.*)\)",
                                 run.stderr))
        if run.returncode != 1 or len(failed) != 2:
            return print("the run should fail two expectations:", run.returncode, run.stderr) or 1
        with open(os.path.join(work, "report.html")) as f:
            page = f.read()
        page = page.replace("<head>", "<head><script>window.pageErrors = [];"
                            "window.addEventListener('error', e => pageErrors.push(e.message));</script>", 1)
        page = page.replace("</body>", CHECKS + "</body>", 1)
        test_page = os.path.join(work, "test.html")
        with open(test_page, "w") as f:
            f.write(page)
        phone_page = os.path.join(work, "phone.html")
        with open(phone_page, "w") as f:
            f.write(PHONE)
        dom = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + work + "/profile",
                              "--window-size=800,900", "--virtual-time-budget=5000", "--dump-dom", "file://" + phone_page],
                             capture_output=True, text=True, timeout=120).stdout
        m = re.search(r'<pre id="verdict">(.*?)</pre>', dom, re.S)
        if not m:
            return print("the page gave no verdict; its end:", dom[-2000:]) or 1
        v = json.loads(html.unescape(m.group(1)))
        problems = ["script error: " + e for e in v["errors"]] + v["fails"]
        if v["lines"] != ",".join(sorted(failed)):
            problems.append("the banner lists lines %s, the run failed %s" % (v["lines"], sorted(failed)))
        expected = [l for l in SCENARIO.split("BEGIN_SCRIPT\n")[1].splitlines() if "expect " in l]
        if len(v["rows"]) != len(expected):
            problems.append("%d expectations in the table, %d in the script" % (len(v["rows"]), len(expected)))
        for where, t, source, verdict, actual in v["rows"]:
            line = where.rsplit(":", 1)[1]
            should_fail = line in failed
            if (verdict == "FAILED") != should_fail or (should_fail and actual != failed[line]):
                problems.append("expectation row %s: %s %s (actual %s)" % (where, source, verdict, actual))
        for p in problems:
            print(p)
        return 1 if problems else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
