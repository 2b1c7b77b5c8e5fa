// The flight chart: an SVG picture that a browser shows, with altitude,
// airspeed and vertical speed in the upper panel and the main engine level,
// nozzle and gear positions in the lower one, all against time, with axes,
// ticks, labels and a legend.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct PlotPoint {
  double t, alt, airspeed, vs, main_level, nozzle, gear;
};

// Keeps at most about `limit` points by taking every n-th one.
class PlotRecorder {
 public:
  explicit PlotRecorder(size_t limit = 2000) : limit_(limit) {}
  void Add(const PlotPoint &p);
  const std::vector<PlotPoint> &Points() const { return points_; }

 private:
  size_t limit_;
  size_t every_ = 1, seen_ = 0;
  std::vector<PlotPoint> points_;
};

// A moment marked on the time axis of both panels (a script input), with
// its text shown when the pointer rests on it.
struct PlotMark {
  double t;
  std::string label;
  bool failure = false;  // a failed expectation, drawn in red across the panel
};

// A stretch of time a check covered, drawn as a strip along the top of the
// upper panel in the colour of its verdict.
struct PlotBand {
  double t0, t1;
  std::string label;
  bool passed;
};

// The chart as SVG text. The root element carries the mapping of time to x
// (data-t0, data-t1, data-x0, data-x1) for pages that draw on it.
std::string PlotSvg(const std::vector<PlotPoint> &points, const std::string &title,
                    const std::vector<PlotMark> &marks = {}, const std::vector<PlotBand> &bands = {});

// Round tick spacing for a range, about `count` ticks.
double TickStep(double range, int count);

}  // namespace sim
