// The report's timeline: script inputs, sound slots, the envelope warning.
#include "sim/events.h"

#include <gtest/gtest.h>

namespace {

std::string Input(const char *line) {
  sim::ScriptEvent ev;
  std::string error;
  EXPECT_TRUE(sim::ParseScriptLine(line, ev, error)) << line << ": " << error;
  sim::FlightEvent e;
  return sim::InputEvent(ev, ev.time, e) ? e.kind + ": " + e.text : "none";
}

TEST(Events, ScriptInputsByName) {
  struct Row {
    const char *line, *event;
  } rows[] = {{"1 key E", "key: key E: engine start or stop, on the ground only"},
              {"1 key G shift", "key: key shift+G: gear up or down, in the air only"},
              {"1 key X", "key: key X: not used by the vessel"},
              {"1 set Tarvex2.main 0.5", "control: Tarvex2: main 0.5"},
              {"1 set main 0.4 over 3", "control: main 0.4 over 3 s"},
              {"1 navmode HOLDALT off", "navmode: HOLDALT off"},
              {"1 timeacc 10", "timeacc: time acceleration 10x"},
              {"1 cockpit panel", "cockpit: panel cockpit"},
              {"1 save out/a.scn", "save: scenario saved to out/a.scn"},
              {"1 expect alt > 3", "none"}};
  for (const Row &r : rows) EXPECT_EQ(Input(r.line), r.event) << r.line;
}

TEST(Events, SoundSlotsStartLoopAndStop) {
  struct Row {
    bool playing, loop;
    const char *text;  // "" when nothing changes
  } rows[] = {{false, false, ""},
              {true, false, "slot 12 cover starts (Cover.wav)"},
              {true, false, ""},
              {true, true, "slot 12 cover turns to looping (Cover.wav)"},
              {true, true, ""},
              {false, true, "slot 12 cover stops (Cover.wav)"},
              {true, true, "slot 12 cover starts looping (Cover.wav)"}};
  sim::SlotWatch watch;
  std::vector<sim::FlightEvent> out;
  for (const Row &r : rows) {
    size_t before = out.size();
    watch.Observe(2.5, 12, r.playing, r.loop, "Cover.wav", out);
    EXPECT_EQ(out.size() == before ? "" : out.back().text, r.text) << "step " << &r - rows + 1 << " of the sequence";
  }
  watch.Observe(3, 60, true, false, "Top.wav", out);  // the last slot there is
  EXPECT_EQ(out.back().text, "slot 60 starts (Top.wav)");
}

TEST(Events, EnvelopeWarningComesAndGoesOnce) {
  sim::WarningWatch watch("Tarvex2");
  std::vector<sim::FlightEvent> out;
  for (double cw : {0.3, 999.0, 999.0, 0.3, 0.3}) watch.Observe(1, cw, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].text, "Tarvex2: flight-envelope warning: engine cut, drag 999");
  EXPECT_EQ(out[1].text, "Tarvex2: flight-envelope warning over: drag restored");
}

}  // namespace
