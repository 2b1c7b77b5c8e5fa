// The flight chart and the telemetry columns.
#include "sim/plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "host/harness.h"
#include "sim/telemetry.h"

namespace {

TEST(Plot, ChartHasBothPanelsAxesLabelsAndEverySeries) {
  std::vector<sim::PlotPoint> pts;
  for (int i = 0; i <= 100; ++i) pts.push_back(sim::PlotPoint{i * 1.0, i * 2.0, i * 1.5, 3.0, 0.5, 1.0, 0.0});
  std::string svg = sim::PlotSvg(pts, "a <flight> & more");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  for (const char *text : {"time (s)", "altitude (m)", "airspeed (m/s)", "vertical speed (m/s)", "main level", "nozzle",
                           "gear (1 = up)", "a &lt;flight&gt; &amp; more"})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  size_t paths = 0;
  for (size_t at = svg.find("<path"); at != std::string::npos; at = svg.find("<path", at + 1)) ++paths;
  EXPECT_EQ(paths, 6u) << "one line per series";
}

TEST(Plot, RecorderKeepsAboutItsLimitAndTheFirstPoint) {
  sim::PlotRecorder rec(100);
  for (int i = 0; i < 100000; ++i) rec.Add(sim::PlotPoint{i * 0.01, 0, 0, 0, 0, 0, 0});
  EXPECT_LE(rec.Points().size(), 200u);
  EXPECT_GE(rec.Points().size(), 100u);
  EXPECT_EQ(rec.Points().front().t, 0);
  for (size_t i = 1; i < rec.Points().size(); ++i) ASSERT_GT(rec.Points()[i].t, rec.Points()[i - 1].t);
}

TEST(Plot, TickStepsAreRound) {
  struct Row {
    double range;
    int count;
    double step;
  } rows[] = {{100, 10, 10}, {160, 10, 20}, {1, 5, 0.2}, {4200, 6, 1000}, {0, 5, 1}, {-3, 5, 1}};
  for (const Row &r : rows) EXPECT_DOUBLE_EQ(sim::TickStep(r.range, r.count), r.step) << r.range;
}

TEST(Telemetry, CsvHeaderHoldsTheRequiredColumnsInOrder) {
  std::string header = sim::CsvHeader();
  EXPECT_EQ(
      header.rfind("t,alt,airspeed,vs,pitch,bank,heading,fuel,ground,main_level,main_max,hover_level,reheat_level,"
                   "gear_anim,nozzle_anim,drag_cw_z,warning",
                   0),
      0u)
      << header;
  EXPECT_EQ(sim::ColumnIndex("warning"), 16);
  EXPECT_EQ(sim::ColumnIndex("nope"), -1);
}

TEST(Telemetry, WarningFollowsTheSoundWhenThereIsOneElseTheDrag) {
  host::ResetWorld();
  host::HostVessel &hv = host::AddVessel("T");
  hv.cw[0] = 999;
  int w = sim::ColumnIndex("warning");
  EXPECT_EQ(sim::Measure(hv, 0, 0, nullptr)[w], 1) << "no sound service: the drag of 999 shows the warning";
  auto silent = [](int, int) { return false; };
  auto warning = [](int id, int slot) { return id == 3 && slot == 6; };
  EXPECT_EQ(sim::Measure(hv, 0, 3, silent)[w], 0) << "service present, slot 6 quiet";
  EXPECT_EQ(sim::Measure(hv, 0, 3, warning)[w], 1) << "slot 6 of this vessel's identifier plays";
  EXPECT_EQ(sim::Measure(hv, 0, 2, warning)[w], 0) << "another vessel's warning";
}

// A CSV row is "%.6g" per value, commas between, whatever the value:
// random bit patterns (not-a-number and infinities among them) and values of
// every magnitude, row after row into the same reused text.
TEST(Telemetry, CsvRowWritesEachValueAsPrintfG6) {
  std::mt19937_64 random(6);
  sim::Sample s;
  sim::CsvRowWriter writer;
  for (int r = 0; r < 20000; ++r) {
    s.v.resize(4);  // the last column keeps its value for 16 rows at a time
    if (r % 16 == 0) s.v[3] = std::ldexp(static_cast<double>(random() >> 11), -60);
    uint64_t bits = random();
    std::memcpy(&s.v[0], &bits, sizeof bits);
    s.v[1] = std::ldexp(static_cast<double>(bits >> 11), -53) * std::pow(10.0, static_cast<int>(bits % 30) - 15);
    s.v[2] = -static_cast<double>(bits % 2000001) / (bits & 1 ? 1024 : 1);
    char want[128];
    std::snprintf(want, sizeof want, "%.6g,%.6g,%.6g,%.6g", s.v[0], s.v[1], s.v[2], s.v[3]);
    ASSERT_EQ(writer.Row(s), want) << "bits " << bits;
  }
  s.v = {NAN, -NAN, INFINITY, -INFINITY, -0.0, 1e-5, 123456.5, 1234567, 999999, -999999, 1e6};
  EXPECT_EQ(sim::CsvRow(s), "nan,-nan,inf,-inf,-0,1e-05,123456,1.23457e+06,999999,-999999,1e+06");
}

}  // namespace
