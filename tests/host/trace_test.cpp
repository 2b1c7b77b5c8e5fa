// How the stand-in host writes reals into the trace.
#include "host/trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

TEST(TraceNumbers, ShortestTextThatReadsBackWithPlainDigitsForLargeValues) {
  struct Row {
    double v;
    const char *text;
  };
  const Row rows[] = {
      {440000, "440000"},
      {14000, "14000"},
      {3.0e5, "300000"},
      {1e7, "10000000"},
      {0.3, "0.3"},
      {-2.41164, "-2.41164"},
      {1e-6, "1e-06"},
      {0.0001, "0.0001"},
      {0, "0"},
      {1e20, "1e+20"},
      {1e17, "1e+17"},
      {9e16, "90000000000000000"},
      {1e-300, "1e-300"},
      {2.5e200, "2.5e+200"},
      {0.1 + 0.2, "0.30000000000000004"},
      {123456.789, "123456.789"},
  };
  for (const Row &r : rows) {
    EXPECT_EQ(host::Num(r.v), r.text) << r.text;
    EXPECT_EQ(std::strtod(host::Num(r.v).c_str(), nullptr), r.v) << r.text << " reads back";
  }
  EXPECT_EQ(host::Num(std::nan("")), "nan");
  EXPECT_EQ(host::Num(-INFINITY), "-inf");
}

}  // namespace
