// Out-of-line parts of libc++ that the stand-ins (host, flight host, sound
// service) reach and that libc++'s headers alone do not provide. The module
// needs none of them.
#include <cstdio>
#include <string>

namespace {
template <typename T>
std::string Text(const char *format, T value) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, format, value);
  return std::string(text, n > 0 ? (size_t)n : 0);
}
}  // namespace

std::string std::to_string(int value) { return Text("%d", value); }
std::string std::to_string(unsigned value) { return Text("%u", value); }
std::string std::to_string(long value) { return Text("%ld", value); }
std::string std::to_string(unsigned long value) { return Text("%lu", value); }
