// The flight chart and the telemetry columns.
#include "sim/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "host/harness.h"
#include "sim/telemetry.h"

namespace {

TEST(Plot, ChartDrawsEverySeriesToScaleInItsPanel) {
  // Altitude 0..200 m fills the upper panel (740 x 245 at 70, 50) from its
  // bottom to its top; the lower panel (at 70, 345) runs from 0 to 1.2.
  std::vector<sim::PlotPoint> pts;
  for (int i = 0; i <= 100; ++i) pts.push_back(sim::PlotPoint{i * 1.0, i * 2.0, i * 1.5, 3.0, 0.5, 1.0, 0.0});
  const std::string svg = sim::PlotSvg(pts, "a <flight> & more");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  for (const char *text :
       {"<rect x=\"70.0\" y=\"50.0\" width=\"740.0\" height=\"245.0\"", "<rect x=\"70.0\" y=\"345.0\" width=\"740.0\"",
        "<path d=\"M70.0,295.0 L77.4,292.6", " L810.0,50.0\" fill=\"none\" stroke=\"#1f77b4\"",
        "<path d=\"M70.0,295.0 L77.4,293.2", "<path d=\"M70.0,291.3 L77.4,291.3", "<path d=\"M70.0,487.9 L77.4,487.9",
        "<path d=\"M70.0,385.8", "<path d=\"M70.0,590.0",
        "<text x=\"64.0\" y=\"299.0\" text-anchor=\"end\" font-size=\"11\">0</text>",
        "<text x=\"64.0\" y=\"54.0\" text-anchor=\"end\" font-size=\"11\">200</text>",
        "<text x=\"810.0\" y=\"309.0\" text-anchor=\"middle\" font-size=\"11\">100</text>",
        "<line x1=\"822.0\" y1=\"60.0\" x2=\"842.0\" y2=\"60.0\" stroke=\"#1f77b4\"",
        "<text x=\"848.0\" y=\"64.0\" font-size=\"12\">altitude (m)</text>",
        "<text x=\"848.0\" y=\"82.0\" font-size=\"12\">airspeed (m/s)</text>",
        "<text x=\"848.0\" y=\"359.0\" font-size=\"12\">main level</text>", "a &lt;flight&gt; &amp; more", "</svg>"})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
}

TEST(Plot, RecorderKeepsAboutItsLimitEvenlyThinnedFromTheFirstPoint) {
  sim::PlotRecorder rec(100);
  for (int i = 0; i < 100000; ++i) rec.Add(sim::PlotPoint{i * 1.0, 0, 0, 0, 0, 0, 0});
  const auto &p = rec.Points();
  EXPECT_LE(p.size(), 200u);
  EXPECT_GE(p.size(), 100u);
  EXPECT_EQ(p.front().t, 0);
  double least = 1e300, most = 0;
  for (size_t i = 1; i < p.size(); ++i)
    least = std::min(least, p[i].t - p[i - 1].t), most = std::max(most, p[i].t - p[i - 1].t);
  EXPECT_LE(most, 2 * least) << "the points thin out evenly";
}

TEST(Plot, TickStepsAreRound) {
  const struct {
    double range;
    int count;
    double step;
    const char *what;
  } rows[] = {{100, 10, 10, "a power of ten"}, {160, 10, 20, "two times one"}, {1, 5, 0.2, "two tenths"},
              {4200, 6, 1000, "rounded up"},   {0, 5, 1, "no range: 1"},       {-3, 5, 1, "a negative range: 1"}};
  for (const auto &r : rows) EXPECT_DOUBLE_EQ(sim::TickStep(r.range, r.count), r.step) << r.what;
}

TEST(Telemetry, WarningFollowsTheSoundWhenThereIsOneElseTheDrag) {
  host::ResetWorld();
  host::HostVessel &hv = host::AddVessel("T");
  hv.cw[0] = 999;
  int w = sim::ColumnIndex("warning");
  EXPECT_EQ(sim::Measure(hv, 0, 0, nullptr)[w], 1) << "no sound service: the drag of 999 shows the warning";
  sim::SoundProbes silent, warning;
  warning.slot_state = [](int id, int slot, int *, int *, int *) { return id == 3 && slot == 6 ? 1 : 0; };
  EXPECT_EQ(sim::Measure(hv, 0, 3, &silent)[w], 0) << "service present, slot 6 quiet";
  EXPECT_EQ(sim::Measure(hv, 0, 3, &warning)[w], 1) << "slot 6 of this vessel's identifier plays";
  EXPECT_EQ(sim::Measure(hv, 0, 2, &warning)[w], 0) << "another vessel's warning";
  for (const char *anim : {"gear_anim", "nozzle_anim"})
    EXPECT_EQ(sim::Measure(hv, 0, 0, nullptr)[sim::ColumnIndex(anim)], 0) << anim << " of a vessel without animations";
}

// The header holds the required columns in order; a row is "%.6g" per value,
// commas between, whatever the value (random bit patterns among them), row
// after row into the same reused text.
TEST(Telemetry, CsvHeaderAndRowsWriteEachValueAsPrintfG6) {
  EXPECT_EQ(sim::CsvHeader().rfind("t,alt,airspeed,vs,pitch,bank,heading,fuel,ground,main_level,main_max,hover_level,"
                                   "reheat_level,gear_anim,nozzle_anim,drag_cw_z,warning",
                                   0),
            0u);
  EXPECT_EQ(sim::ColumnIndex("warning"), 16);
  EXPECT_EQ(sim::ColumnIndex("nope"), -1);
  std::mt19937_64 random(6);
  sim::Sample s;
  sim::CsvRowWriter writer;
  for (int r = 0; r < 3000; ++r) {
    s.v.resize(3);  // the last column keeps its value for 16 rows at a time
    if (r % 16 == 0) s.v[2] = std::ldexp(static_cast<double>(random() >> 11), -60);
    uint64_t bits = random();
    s.v[1] = std::ldexp(static_cast<double>(bits >> 11), -53) * std::pow(10.0, static_cast<int>(bits % 30) - 15);
    s.v[0] = std::ldexp(static_cast<double>(bits >> 11), -40);  // the time, in full: no two rows share it
    char want[128];
    std::snprintf(want, sizeof want, ",%.6g,%.6g", s.v[1], s.v[2]);
    const std::string row = writer.Row(s);
    ASSERT_EQ(row.substr(row.find(',')), want) << "bits " << bits;
    ASSERT_EQ(std::strtod(row.c_str(), nullptr), s.v[0]) << row;
  }
  s.v = {NAN, -NAN, INFINITY, -INFINITY, -0.0, 1e-5, 123456.5, 1234567, 999999, -999999, 1e6, -1953.125};
  EXPECT_EQ(sim::CsvRow(s), "nan,-nan,inf,-inf,-0,1e-05,123456,1.23457e+06,999999,-999999,1e+06,-1953.12");
}

}  // namespace
