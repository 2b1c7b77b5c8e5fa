#include "sim/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim {

namespace {

std::string Fixed(double v, int decimals) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// A number for the page's script: short, and null when not finite.
std::string Js(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

const char *kStyle = R"(
body{font:14px/1.4 system-ui,sans-serif;margin:16px 24px;color:#1b1f23;background:#fff;max-width:1060px}
h1{font-size:20px;margin:0 0 6px}h2{font-size:16px;margin:22px 0 6px;border-bottom:1px solid #ddd}
pre{background:#f4f5f7;padding:8px 10px;margin:6px 0;white-space:pre-wrap}
.desc{color:#444;margin:2px 0 8px}
#chart svg{max-width:100%;height:auto;cursor:crosshair}
#view{display:flex;gap:18px;align-items:flex-start;flex-wrap:wrap}
#frames svg{display:none}#frames svg.on{display:block}
#clock{display:flex;gap:10px;align-items:center;margin:6px 0}#slider{flex:1}
table{border-collapse:collapse}td,th{padding:2px 8px;text-align:left;vertical-align:top}
#state th{font-weight:normal;color:#555}#state td{font-variant-numeric:tabular-nums;text-align:right;min-width:7em}
#events{max-height:360px;overflow-y:auto;border:1px solid #ddd}#events table{width:100%}
#events tr{cursor:pointer}#events tr:hover{background:#eef4ff}#events tr.now{background:#dbe8ff}
#events td:first-child,#expectations td:nth-child(2){text-align:right;font-variant-numeric:tabular-nums}
.k{color:#555}.fail td{background:#fde2e1}.pass .v{color:#17692f}.fail .v{color:#b3261e;font-weight:bold}
.warn td{background:#fff4d6}#expectations tr[data-t]{cursor:pointer}#expectations tr[data-t]:hover td{background:#eef4ff}
#failures{background:#fde2e1;border:1px solid #b3261e;border-radius:4px;padding:8px 12px;margin:8px 0}
#failures strong{color:#b3261e}#failures ul{margin:4px 0 0;padding-left:20px}#failures a{color:#1b1f23}
#frames svg{max-width:100%;height:auto}#view>div{max-width:100%}.wide{overflow-x:auto;max-width:100%}
@media (max-width:600px){body{margin:8px}td,th{padding:2px 4px}#view{gap:8px}}
)";

// The page's script: the slider shows the HUD frame nearest the chosen time,
// the state then and a cursor on the chart; a click on an event or on the
// chart moves the slider there.
const char *kScript = R"(
'use strict';
(function () {
  const frames = Array.from(document.querySelectorAll('#frames svg'));
  const frameT = frames.map(f => +f.getAttribute('data-t'));
  const eventRows = Array.from(document.querySelectorAll('#events tr[data-t]'));
  const jumps = Array.from(document.querySelectorAll('#expectations tr[data-t], #failures a[data-t]'));
  const slider = document.getElementById('slider');
  const chart = document.querySelector('#chart svg');
  let cursor = null;
  function nearest(times, t) {
    let lo = 0, hi = times.length - 1;
    if (hi < 0) return -1;
    while (hi - lo > 1) { const mid = (lo + hi) >> 1; if (times[mid] <= t) lo = mid; else hi = mid; }
    return Math.abs(times[hi] - t) < Math.abs(t - times[lo]) ? hi : lo;
  }
  const stateT = STATES.map(s => s[0]);
  const num = (v, d) => v === null ? '-' : v.toFixed(d);
  function show(t) {
    document.getElementById('now').textContent = t.toFixed(2) + ' s';
    const f = nearest(frameT, t);
    frames.forEach((el, i) => el.classList.toggle('on', i === f));
    document.getElementById('frame-t').textContent = f < 0 ? 'no HUD frames' : 'HUD at t = ' + frameT[f].toFixed(2) + ' s';
    const i = nearest(stateT, t);
    if (i >= 0) {
      const s = STATES[i];
      const holds = ['HOLDALT', 'HLEVEL', 'KILLROT'].filter((n, b) => s[9] & (1 << b)).join(' ') || 'none';
      const cells = {t: num(s[0], 2) + ' s', alt: num(s[1], 1) + ' m', airspeed: num(s[2], 1) + ' m/s',
        vs: num(s[3], 2) + ' m/s', main: num(s[4], 3), hover: num(s[5], 3), reheat: num(s[6], 3),
        nozzle: num(s[7], 3), gear: num(s[8], 2) + (s[8] === 0 ? ' (down)' : s[8] === 1 ? ' (up)' : ''),
        holds: holds, warning: s[10] ? 'ON' : 'off'};
      for (const k in cells) document.getElementById('s-' + k).textContent = cells[k];
    }
    let last = -1;
    eventRows.forEach((r, j) => { if (+r.getAttribute('data-t') <= t + 1e-9) last = j; });
    eventRows.forEach((r, j) => r.classList.toggle('now', j === last));
    // The timeline scrolls (by itself, not the page) to keep that event in view.
    const list = document.getElementById('events');
    if (last >= 0) list.scrollTop = eventRows[last].offsetTop - list.clientHeight / 2;
    if (cursor) {
      const t0 = +chart.dataset.t0, t1 = +chart.dataset.t1, x0 = +chart.dataset.x0, x1 = +chart.dataset.x1;
      const x = x0 + (Math.min(Math.max(t, t0), t1) - t0) / (t1 - t0) * (x1 - x0);
      cursor.setAttribute('x1', x);
      cursor.setAttribute('x2', x);
    }
  }
  // The address follows the slider, so that a link names the moment shown.
  function follow(t) {
    try { history.replaceState(null, '', '#t=' + t.toFixed(2)); } catch (e) { /* not where pages may do it */ }
  }
  function seek(t) { slider.value = t; show(+slider.value); follow(+slider.value); }
  if (chart) {
    cursor = document.createElementNS('http://www.w3.org/2000/svg', 'line');
    const h = chart.viewBox.baseVal.height;
    cursor.setAttribute('y1', 40);
    cursor.setAttribute('y2', h - 40);
    cursor.setAttribute('stroke', '#0a58ca');
    cursor.setAttribute('stroke-dasharray', '4 3');
    chart.appendChild(cursor);
    chart.addEventListener('click', e => {
      const p = chart.createSVGPoint();
      p.x = e.clientX, p.y = e.clientY;
      const q = p.matrixTransform(chart.getScreenCTM().inverse());
      const t0 = +chart.dataset.t0, t1 = +chart.dataset.t1, x0 = +chart.dataset.x0, x1 = +chart.dataset.x1;
      seek(t0 + (q.x - x0) / (x1 - x0) * (t1 - t0));
    });
  }
  eventRows.forEach(r => r.addEventListener('click', () => seek(+r.getAttribute('data-t'))));
  jumps.forEach(r => r.addEventListener('click', e => { e.preventDefault(); seek(+r.getAttribute('data-t')); }));
  slider.addEventListener('input', () => { show(+slider.value); follow(+slider.value); });
  // A link may name the moment to show: report.html#t=20
  const hashT = () => { const m = /t=([0-9.]+)/.exec(location.hash); return m ? +m[1] : null; };
  window.addEventListener('hashchange', () => { const t = hashT(); if (t !== null) seek(t); });
  const start = hashT();
  if (start === null) show(0); else seek(start);
})();
)";

const char *kStateRows[][2] = {
    {"t", "time"},          {"alt", "altitude"},      {"airspeed", "airspeed"},       {"vs", "vertical speed"},
    {"main", "main level"}, {"hover", "hover level"}, {"reheat", "reheat level"},     {"nozzle", "nozzle"},
    {"gear", "gear"},       {"holds", "holds"},       {"warning", "envelope warning"}};

}  // namespace

std::string ReportHtml(const Report &r) {
  std::string h;
  h.reserve(64 * 1024 + r.chart_svg.size() + r.frames.size() * 1200 + r.states.size() * 64);
  h += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
       XmlEscape(r.title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  h += "<h1>" + XmlEscape(r.title) + "</h1>\n";
  // The description's lines run on into paragraphs; a blank line ends one.
  std::string para;
  for (size_t i = 0; i <= r.description.size(); ++i) {
    std::string line = i < r.description.size() ? r.description[i] : "";
    size_t a = line.find_first_not_of(" \t\r"), b = line.find_last_not_of(" \t\r");
    if (a != std::string::npos) {
      para += (para.empty() ? "" : " ") + line.substr(a, b - a + 1);
    } else if (!para.empty()) {
      h += "<p class=\"desc\">" + XmlEscape(para) + "</p>\n";
      para.clear();
    }
  }
  std::vector<const ExpectationResult *> failures;
  for (const auto &x : r.expectations)
    if (x.verdict != "passed") failures.push_back(&x);
  if (!failures.empty()) {
    h += "<div id=\"failures\" role=\"alert\"><strong>This flight failed: " + std::to_string(failures.size()) +
         (failures.size() == 1 ? " expectation" : " expectations") + " did not hold</strong>\n<ul>\n";
    for (const ExpectationResult *x : failures)
      h += "<li><a href=\"#t=" + Fixed(x->t, 2) + "\" data-t=\"" + Js(x->t) + "\">" + XmlEscape(x->where) + " at " +
           Fixed(x->t, 2) + " s: <code>" + XmlEscape(x->source) + "</code> " + x->verdict + " (" +
           (x->verdict == "FAILED" ? "actual " : "") + XmlEscape(x->actual) + ")</a></li>\n";
    h += "</ul></div>\n";
  }
  h += "<pre id=\"summary\">" + XmlEscape(r.summary) + "</pre>\n";

  h += "<h2>Flight</h2>\n<div id=\"chart\">";
  std::string chart = r.chart_svg;
  if (chart.rfind("<?xml", 0) == 0) chart.erase(0, chart.find('\n') + 1);
  h += chart + "</div>\n";

  double step = r.states.size() > 1 ? std::max(0.01, r.duration / (double)(r.states.size() - 1)) : 0.1;
  h += "<div id=\"clock\"><input type=\"range\" id=\"slider\" min=\"0\" max=\"" + Js(r.duration) + "\" step=\"" +
       Js(step) + "\" value=\"0\" aria-label=\"time\"><output id=\"now\"></output></div>\n";
  h += "<div id=\"view\">\n<div><div id=\"frames\">\n";
  for (const auto &f : r.frames) h += HudFrameSvg(f);
  h += "</div><div class=\"k\" id=\"frame-t\"></div></div>\n<table id=\"state\">\n";
  for (auto &row : kStateRows) h += std::string("<tr><th>") + row[1] + "</th><td id=\"s-" + row[0] + "\"></td></tr>\n";
  h += "</table>\n</div>\n";

  h += "<h2>Events</h2>\n<div id=\"events\"><table>\n";
  for (const auto &e : r.events)
    h += "<tr data-t=\"" + Js(e.t) + "\"><td>" + Fixed(e.t, 2) + "</td><td class=\"k\">" + e.kind + "</td><td>" +
         XmlEscape(e.text) + "</td></tr>\n";
  if (r.events_left_out)
    h += "<tr><td></td><td class=\"k\">more</td><td>" + std::to_string(r.events_left_out) +
         " more events, past the report's " + std::to_string(kMaxReportEvents) + "</td></tr>\n";
  h += "</table></div>\n";

  h += "<h2>Expectations</h2>\n<div class=\"wide\"><table id=\"expectations\">\n<tr><th>line</th><th>t (s)</th>"
       "<th>expectation</th><th>verdict</th><th>actual</th></tr>\n";
  for (const auto &x : r.expectations)
    h += std::string("<tr class=\"") + (x.verdict == "passed" ? "pass" : "fail") + "\" data-t=\"" + Js(x.t) +
         "\"><td>" + XmlEscape(x.where) + "</td><td>" + Fixed(x.t, 3) + "</td><td><code>" + XmlEscape(x.source) +
         "</code></td><td class=\"v\">" + x.verdict + "</td><td>" + XmlEscape(x.actual) + "</td></tr>\n";
  h += "</table></div>\n";
  if (!r.never_fired.empty()) {
    h += "<h2>Conditions that never fired</h2>\n<div class=\"wide\"><table id=\"never-fired\">\n<tr><th>line</th>"
         "<th>condition</th><th>why</th></tr>\n";
    for (const auto &n : r.never_fired)
      h += std::string("<tr class=\"") + (n.failed ? "fail" : "warn") + "\"><td>" + XmlEscape(n.where) +
           "</td><td><code>" + XmlEscape(n.source) + "</code></td><td>" + XmlEscape(n.why) + "</td></tr>\n";
    h += "</table></div>\n";
  }

  h += "<script>\nconst STATES = [";
  for (size_t i = 0; i < r.states.size(); ++i) {
    const StateRow &s = r.states[i];
    h += (i ? ",[" : "[") + Js(s.t) + "," + Js(s.alt) + "," + Js(s.airspeed) + "," + Js(s.vs) + "," + Js(s.main) + "," +
         Js(s.hover) + "," + Js(s.reheat) + "," + Js(s.nozzle) + "," + Js(s.gear) + "," + std::to_string(s.holds) +
         "," + (s.warning ? "1" : "0") + "]";
    if (i % 8 == 7) h += "\n";
  }
  h += "];\n";
  h += kScript;
  h += "</script>\n</body>\n</html>\n";
  return h;
}

void ReportRecorder::DropFrames() {
  std::vector<HudFrame>().swap(r_.frames);
  next_frame_ = 1e300;
}

void ReportRecorder::AddFrame(HudFrame f) {
  // The next frame is due at the next multiple of the interval, however
  // long the steps are.
  if (r_.frames.size() >= kMaxReportFrames) {
    size_t kept = 0;
    for (size_t i = 0; i < r_.frames.size(); i += 2) r_.frames[kept++] = std::move(r_.frames[i]);
    r_.frames.resize(kept);
    frame_every_ *= 2;
  }
  next_frame_ = (std::floor(f.t / frame_every_ + 1e-9) + 1) * frame_every_;
  r_.frames.push_back(std::move(f));
}

void ReportRecorder::Observe(double t, const std::vector<host::HostVessel *> &vessels, size_t focus,
                             const SoundProbes *sound) {
  if (slots_.size() != vessels.size()) {
    slots_.clear(), warnings_.clear();
    for (auto *hv : vessels) {
      std::string who = vessels.size() > 1 ? hv->name : "";
      slots_.emplace_back(who);
      warnings_.emplace_back(who);
    }
  }
  KeepEventsBounded();
  for (size_t i = 0; i < vessels.size(); ++i) {
    warnings_[i].Observe(t, vessels[i]->cw[0], r_.events);
    if (!sound || !sound->slot_state || !sound->slot_file) continue;
    for (int slot = 1; slot <= 60; ++slot) {
      const char *wave = sound->slot_file((int)i, slot);
      if (!wave) continue;
      int loop = 0;
      bool on = sound->slot_state((int)i, slot, &loop, nullptr, nullptr) != 0;
      slots_[i].Observe(t, slot, on, loop != 0, wave, r_.events);
    }
  }
  if (t < next_state_ - 1e-9 || focus >= vessels.size()) return;
  next_state_ = (std::floor(t / state_every_ + 1e-9) + 1) * state_every_;
  Sample s = Measure(*vessels[focus], t, (int)focus, sound);
  auto col = [&](const char *name) { return s[ColumnIndex(name)]; };
  int holds = (col("holdalt") != 0 ? 1 : 0) | (col("hlevel") != 0 ? 2 : 0) | (col("killrot") != 0 ? 4 : 0);
  r_.states.push_back(StateRow{t, col("alt"), col("airspeed"), col("vs"), col("main_level"), col("hover_level"),
                               col("reheat_level"), col("nozzle_anim"), col("gear_anim"), holds, col("warning") != 0});
}

void ReportRecorder::Input(const ScriptEvent &ev, double t) {
  FlightEvent e;
  if (InputEvent(ev, t, e)) r_.events.push_back(e);
  KeepEventsBounded();
}

// Events past the cap are only counted (a step adds at most a few per vessel
// before the next look).
void ReportRecorder::KeepEventsBounded() {
  if (r_.events.size() <= kMaxReportEvents) return;
  r_.events_left_out += r_.events.size() - kMaxReportEvents;
  r_.events.resize(kMaxReportEvents);
}

void ReportRecorder::Expectation(const ScriptEvent &ev, double t, const std::string &verdict,
                                 const std::string &actual) {
  r_.expectations.push_back(ExpectationResult{ev.Where(), t, ev.source, verdict, actual});
}

void ReportRecorder::Fired(const Trigger &tr) {
  const ScriptEvent &ev = tr.line;
  std::string text = ev.source;
  if (ev.after > 0) text += " (held from " + Fixed(tr.held, 2) + " s)";
  if (ev.timing == Timing::Stop) text += ": the run ends";
  r_.events.push_back(FlightEvent{tr.fired, ev.timing == Timing::Stop ? "stop" : "when", text});
}

void ReportRecorder::Span(const SpanCheck &s, double at, const std::string &verdict, const std::string &actual,
                          double end) {
  r_.expectations.push_back(ExpectationResult{s.line.Where(), at, s.line.source, verdict, actual});
  bool always = s.line.timing == Timing::Always;
  bands_.push_back(PlotBand{always ? 0 : s.line.time, always ? end : std::min(s.line.until, end),
                            s.line.source + ": " + verdict, verdict == "passed"});
}

void ReportRecorder::NeverFired(const Trigger &tr, const std::string &why, bool failed, double end) {
  r_.never_fired.push_back(NeverFiredLine{tr.line.Where(), tr.line.source, why, failed});
  if (failed) r_.expectations.push_back(ExpectationResult{tr.line.Where(), end, tr.line.source, "never checked", why});
}

std::vector<PlotMark> ReportRecorder::Marks() const {
  std::vector<PlotMark> marks;
  for (const auto &e : r_.events)
    if (e.kind != "sound" && e.kind != "warning") marks.push_back(PlotMark{e.t, Fixed(e.t, 2) + " s: " + e.text});
  for (const auto &x : r_.expectations)
    if (x.verdict != "passed")
      marks.push_back(
          PlotMark{x.t, Fixed(x.t, 2) + " s: " + x.source + " " + x.verdict + " (actual " + x.actual + ")", true});
  return marks;
}

Report ReportRecorder::Finish(std::string title, std::vector<std::string> description, std::string summary,
                              std::string chart, double duration) {
  KeepEventsBounded();
  Report r = std::move(r_);
  r_ = Report{};
  r.title = std::move(title);
  r.description = std::move(description);
  r.summary = std::move(summary);
  r.chart_svg = std::move(chart);
  r.duration = duration;
  std::stable_sort(r.events.begin(), r.events.end(),
                   [](const FlightEvent &a, const FlightEvent &b) { return a.t < b.t; });
  return r;
}

}  // namespace sim
