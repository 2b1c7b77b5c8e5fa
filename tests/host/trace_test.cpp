// How the stand-in host writes reals into the trace: the shortest text that
// reads back, in plain digits from 1 up to 1e17, as it always has.
#include "host/trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// The search the trace made before it had one conversion per number.
std::string SearchedShortest(double v) {
  char buf[40];
  for (int prec = 1; prec <= 17; ++prec)
    if (std::snprintf(buf, sizeof buf, "%.*g", prec, v), std::strtod(buf, nullptr) == v) break;
  if (std::strchr(buf, 'e') && std::fabs(v) >= 1 && std::fabs(v) < 1e17)
    for (int decimals = 0; decimals <= 17; ++decimals)
      if (std::snprintf(buf, sizeof buf, "%.*f", decimals, v), std::strtod(buf, nullptr) == v) break;
  return buf;
}

TEST(TraceNumbers, ShortestTextThatReadsBackTheSameAsTheOldSearch) {
  const struct {
    double v;
    const char *text;
  } rows[] = {{440000, "440000"},
              {-2.41164, "-2.41164"},
              {1e-6, "1e-06"},
              {0.0001, "0.0001"},
              {0, "0"},
              {1e17, "1e+17"},
              {9e16, "90000000000000000"},
              {2.5e200, "2.5e+200"},
              {0.1 + 0.2, "0.30000000000000004"}};
  for (const auto &r : rows) EXPECT_EQ(host::Num(r.v), r.text) << r.text;
  EXPECT_EQ(host::Num(std::nan("")), "nan");
  EXPECT_EQ(host::Num(-INFINITY), "-inf");
  std::mt19937_64 random(18);
  for (int i = 0; i < 5000; ++i) {
    uint64_t bits = random();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    double scaled = std::ldexp(static_cast<double>(bits >> 11), -53) * std::pow(10.0, static_cast<int>(bits % 40) - 20);
    for (double v : {any, scaled, static_cast<double>(bits >> (bits % 64))})
      ASSERT_EQ(host::Num(v), std::isfinite(v) ? SearchedShortest(v) : host::Num(v)) << "bits " << bits;
  }
}

}  // namespace
