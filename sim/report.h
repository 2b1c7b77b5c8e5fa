// The flight report: one self-contained HTML page with the run's summary and
// scenario description, the flight chart with the script's inputs marked on
// it, a time slider showing the HUD frame nearest the chosen time and the
// state then, the timeline of events, and every expectation with its verdict.
// Nothing in it is fetched from anywhere: styles, script and pictures are
// all inline.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/world.h"
#include "sim/conditions.h"
#include "sim/events.h"
#include "sim/hud_frame.h"
#include "sim/plot.h"
#include "sim/telemetry.h"

namespace sim {

// The state shown beside the HUD frame.
struct StateRow {
  double t, alt, airspeed, vs, main, hover, reheat, nozzle, gear;
  int holds;  // 1 altitude hold, 2 horizon level, 4 kill rotation
  bool warning;
};

struct ExpectationResult {
  std::string where;  // file:line
  double t;
  std::string source;
  std::string verdict;  // "passed", "FAILED", "not reached", "never checked"
  std::string actual;
};

// A `when` or `stop when` line whose moment never came.
struct NeverFiredLine {
  std::string where, source, why;
  bool failed;  // it carried an expectation
};

struct Report {
  std::string title;
  std::vector<std::string> description;
  std::string summary;    // as the terminal shows it
  std::string chart_svg;  // the flight chart, XML declaration and all
  double duration = 0;
  std::vector<HudFrame> frames;
  std::vector<StateRow> states;
  std::vector<FlightEvent> events;
  size_t events_left_out = 0;  // past kMaxReportEvents
  std::vector<ExpectationResult> expectations;
  std::vector<NeverFiredLine> never_fired;
};

// The page.
std::string ReportHtml(const Report &r);

// What a report keeps at most, so that its page stays a few megabytes
// however long the run: HUD frames (past the cap every other one goes and
// they are taken half as often) and timeline events (the rest are counted).
const size_t kMaxReportFrames = 2000;
const size_t kMaxReportEvents = 20000;

// Collects a report while the flight host flies: HUD frames every
// `frame_every` seconds, the state every `state_every`, and the events.
class ReportRecorder {
 public:
  ReportRecorder(double frame_every, double state_every) : frame_every_(frame_every), state_every_(state_every) {}

  // Whether a HUD frame is wanted at simulation time `t`: the flight host
  // then redraws the HUD and hands the frame to AddFrame.
  bool WantsHudFrame(double t) const { return t >= next_frame_ - 1e-9; }
  void AddFrame(HudFrame f);
  // Frees the frames and takes no more (memory ran out).
  void DropFrames();

  // After every step: the sound slots and the envelope warning of each
  // vessel (its sound identifier is its index), and the state of the vessel
  // in focus when one is due. `sound` is null without service.
  void Observe(double t, const std::vector<host::HostVessel *> &vessels, size_t focus, const SoundProbes *sound);

  void Input(const ScriptEvent &ev, double t);
  void Expectation(const ScriptEvent &ev, double t, const std::string &verdict, const std::string &actual);
  // A `when` or `stop when` firing; a check over time at the end of the run
  // (`at`: its first failure, else its start); a trigger that never fired.
  void Fired(const Trigger &tr);
  void Span(const SpanCheck &s, double at, const std::string &verdict, const std::string &actual, double end);
  void NeverFired(const Trigger &tr, const std::string &why, bool failed, double end);

  // The finished report; the recorder's frames, states and events move into it.
  Report Finish(std::string title, std::vector<std::string> description, std::string summary, std::string chart,
                double duration);
  // The chart's marks: every script input and condition fired, and every
  // failed expectation; its bands: the checks over time.
  std::vector<PlotMark> Marks() const;
  const std::vector<PlotBand> &Bands() const { return bands_; }

 private:
  void KeepEventsBounded();
  double frame_every_, state_every_;
  double next_frame_ = 0, next_state_ = 0;
  std::vector<SlotWatch> slots_;
  std::vector<WarningWatch> warnings_;
  std::vector<PlotBand> bands_;
  Report r_;
};

}  // namespace sim
