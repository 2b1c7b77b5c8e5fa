#include "sim/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/hud_frame.h"

namespace sim {

namespace {

const double kWidth = 1000, kHeight = 640;
const double kLeft = 70, kRight = 190, kTop = 50, kGap = 50;
const double kPanel = (kHeight - kTop - 50 - kGap) / 2;

std::string F(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

std::string Label(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", std::fabs(v) < 1e-9 ? 0.0 : v);
  return buf;
}

std::string Exact(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

struct Series {
  const char *name;
  const char *colour;
  double PlotPoint::*field;
};

struct Axis {
  double lo, hi;
  double Map(double v, double top) const { return top + kPanel - (v - lo) / (hi - lo) * kPanel; }
};

void Panel(std::string &svg, const std::vector<PlotPoint> &pts, double t0, double t1, double top, Axis y,
           const char *y_label, const std::vector<Series> &series, const std::vector<PlotMark> &marks,
           const std::vector<PlotBand> &bands) {
  double plot_w = kWidth - kLeft - kRight;
  auto X = [&](double t) { return kLeft + (t - t0) / (t1 - t0) * plot_w; };
  svg += "<rect x=\"" + F(kLeft) + "\" y=\"" + F(top) + "\" width=\"" + F(plot_w) + "\" height=\"" + F(kPanel) +
         "\" fill=\"white\" stroke=\"black\"/>\n";
  // Marks stand on the time axis, under the curves drawn later.
  for (const PlotMark &m : marks) {
    if (m.t < t0 || m.t > t1) continue;
    if (m.failure)
      svg += "<path class=\"failure\" d=\"M" + F(X(m.t)) + "," + F(top) + " v" + F(kPanel) +
             "\" stroke=\"#b3261e\" stroke-width=\"2\" stroke-dasharray=\"6 3\"><title>" + XmlEscape(m.label) +
             "</title></path>\n";
    else
      svg += "<path d=\"M" + F(X(m.t)) + "," + F(top + kPanel) +
             " v-8\" stroke=\"#0a58ca\" stroke-width=\"2\"><title>" + XmlEscape(m.label) + "</title></path>\n";
  }
  for (size_t i = 0; i < bands.size(); ++i) {
    const PlotBand &b = bands[i];
    double a = std::max(b.t0, t0), e = std::min(b.t1, t1);
    if (e < a) continue;
    svg += std::string("<rect class=\"band ") + (b.passed ? "passed" : "failed") + "\" x=\"" + F(X(a)) + "\" y=\"" +
           F(top + 2 + 7 * (double)(i % 8)) + "\" width=\"" + F(std::max(X(e) - X(a), 2.0)) +
           "\" height=\"5\" fill=\"" + (b.passed ? "#2e9d4f" : "#d93025") + "\" fill-opacity=\"0.7\"><title>" +
           XmlEscape(b.label) + "</title></rect>\n";
  }
  // Value ticks and grid.
  double step = TickStep(y.hi - y.lo, 6);
  for (double v = std::ceil(y.lo / step) * step; v <= y.hi + step * 1e-6; v += step) {
    double py = y.Map(v, top);
    svg += "<line x1=\"" + F(kLeft) + "\" y1=\"" + F(py) + "\" x2=\"" + F(kLeft + plot_w) + "\" y2=\"" + F(py) +
           "\" stroke=\"#ddd\"/>\n";
    svg += "<text x=\"" + F(kLeft - 6) + "\" y=\"" + F(py + 4) + "\" text-anchor=\"end\" font-size=\"11\">" + Label(v) +
           "</text>\n";
  }
  // Time ticks.
  double tstep = TickStep(t1 - t0, 10);
  for (double t = std::ceil(t0 / tstep) * tstep; t <= t1 + tstep * 1e-6; t += tstep) {
    double px = X(t);
    svg += "<line x1=\"" + F(px) + "\" y1=\"" + F(top) + "\" x2=\"" + F(px) + "\" y2=\"" + F(top + kPanel) +
           "\" stroke=\"#eee\"/>\n";
    svg += "<text x=\"" + F(px) + "\" y=\"" + F(top + kPanel + 14) + "\" text-anchor=\"middle\" font-size=\"11\">" +
           Label(t) + "</text>\n";
  }
  svg += "<text x=\"" + F(kLeft + plot_w / 2) + "\" y=\"" + F(top + kPanel + 30) +
         "\" text-anchor=\"middle\" font-size=\"12\">time (s)</text>\n";
  svg += "<text transform=\"translate(16," + F(top + kPanel / 2) +
         ") rotate(-90)\" text-anchor=\"middle\" font-size=\"12\">" + y_label + "</text>\n";
  if (y.lo < 0 && y.hi > 0)
    svg += "<line x1=\"" + F(kLeft) + "\" y1=\"" + F(y.Map(0, top)) + "\" x2=\"" + F(kLeft + plot_w) + "\" y2=\"" +
           F(y.Map(0, top)) + "\" stroke=\"#888\"/>\n";
  int row = 0;
  for (const Series &s : series) {
    std::string d;
    for (const PlotPoint &p : pts) d += (d.empty() ? "M" : " L") + F(X(p.t)) + "," + F(y.Map(p.*s.field, top));
    svg += "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + s.colour + "\" stroke-width=\"1.5\"/>\n";
    double ly = top + 14 + 18 * row++;
    double lx = kWidth - kRight + 12;
    svg += "<line x1=\"" + F(lx) + "\" y1=\"" + F(ly - 4) + "\" x2=\"" + F(lx + 20) + "\" y2=\"" + F(ly - 4) +
           "\" stroke=\"" + s.colour + "\" stroke-width=\"2\"/>\n";
    svg += "<text x=\"" + F(lx + 26) + "\" y=\"" + F(ly) + "\" font-size=\"12\">" + s.name + "</text>\n";
  }
}

}  // namespace

void PlotRecorder::Add(const PlotPoint &p) {
  if (seen_++ % every_ == 0) points_.push_back(p);
  if (points_.size() >= 2 * limit_) {  // halve: keep every other point, take half as many from now on
    std::vector<PlotPoint> kept;
    for (size_t i = 0; i < points_.size(); i += 2) kept.push_back(points_[i]);
    points_.swap(kept);
    every_ *= 2;
    seen_ = 1;
  }
}

double TickStep(double range, int count) {
  if (!(range > 0) || !std::isfinite(range)) return 1;
  double raw = range / std::max(count, 1);
  double mag = std::pow(10, std::floor(std::log10(raw)));
  double norm = raw / mag;
  double nice = norm < 1.5 ? 1 : norm < 3 ? 2 : norm < 7 ? 5 : 10;
  return nice * mag;
}

std::string PlotSvg(const std::vector<PlotPoint> &pts, const std::string &title, const std::vector<PlotMark> &marks,
                    const std::vector<PlotBand> &bands) {
  double t0 = pts.empty() ? 0 : pts.front().t, t1 = pts.empty() ? 1 : pts.back().t;
  if (!(t1 > t0)) t1 = t0 + 1;
  double lo = 0, hi = 10;
  for (const PlotPoint &p : pts)
    for (double v : {p.alt, p.airspeed, p.vs})
      if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  double step = TickStep(hi - lo, 6);
  Axis upper{std::floor(lo / step) * step, std::ceil(hi / step) * step};
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    F(kWidth) + "\" height=\"" + F(kHeight) + "\" viewBox=\"0 0 " + F(kWidth) + " " + F(kHeight) +
                    "\" font-family=\"sans-serif\" data-t0=\"" + Exact(t0) + "\" data-t1=\"" + Exact(t1) +
                    "\" data-x0=\"" + F(kLeft) + "\" data-x1=\"" + F(kWidth - kRight) + "\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#fafafa\"/>\n";
  svg += "<text x=\"" + F(kWidth / 2) + "\" y=\"28\" text-anchor=\"middle\" font-size=\"16\">" + XmlEscape(title) +
         "</text>\n";
  Panel(svg, pts, t0, t1, kTop, upper, "altitude (m), speeds (m/s)",
        {{"altitude (m)", "#1f77b4", &PlotPoint::alt},
         {"airspeed (m/s)", "#d62728", &PlotPoint::airspeed},
         {"vertical speed (m/s)", "#2ca02c", &PlotPoint::vs}},
        marks, bands);
  Panel(svg, pts, t0, t1, kTop + kPanel + kGap, Axis{0, 1.2}, "level, position (0..1)",
        {{"main level", "#ff7f0e", &PlotPoint::main_level},
         {"nozzle", "#9467bd", &PlotPoint::nozzle},
         {"gear (1 = up)", "#8c564b", &PlotPoint::gear}},
        marks, {});
  svg += "</svg>\n";
  return svg;
}

}  // namespace sim
