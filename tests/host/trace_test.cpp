// How the stand-in host writes reals into the trace.
#include "host/trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

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

// The shortest "%.*g" that reads back, in plain digits from 1 up to 1e17:
// what the trace wrote before it had one conversion per number.
std::string SearchedShortest(double v) {
  char buf[40];
  for (int prec = 1; prec <= 17; ++prec)
    if (std::snprintf(buf, sizeof buf, "%.*g", prec, v), std::strtod(buf, nullptr) == v) break;
  if (std::strchr(buf, 'e') && std::fabs(v) >= 1 && std::fabs(v) < 1e17)
    for (int decimals = 0; decimals <= 17; ++decimals)
      if (std::snprintf(buf, sizeof buf, "%.*f", decimals, v), std::strtod(buf, nullptr) == v) break;
  return buf;
}

TEST(TraceNumbers, SameTextAsTheSearchForTheShortestFormOnRandomValues) {
  std::mt19937_64 random(18);
  for (int i = 0; i < 40000; ++i) {
    uint64_t bits = random();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    double scaled = std::ldexp(static_cast<double>(bits >> 11), -53) * std::pow(10.0, static_cast<int>(bits % 40) - 20);
    double whole = static_cast<double>(bits >> (bits % 64));
    for (double v : {any, scaled, whole}) {
      if (!std::isfinite(v)) continue;
      ASSERT_EQ(host::Num(v), SearchedShortest(v)) << "bits " << bits;
    }
  }
}

}  // namespace
