// Out-of-line parts of libc++ that the stand-ins (host, flight host, sound
// service) reach and that libc++'s headers alone do not provide. The module
// needs none of them. Numbers come out as the GNU build's library writes
// them, so that the host's trace reads the same on both.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <typeinfo>
#include <unordered_map>

namespace {
template <typename T>
std::string Text(const char *format, T value) {
  char text[32];
  const int n = std::snprintf(text, sizeof text, format, value);
  return std::string(text, n > 0 ? (size_t)n : 0);
}

// Copies the `n` characters of `text` to [first, last) as to_chars reports
// it; an empty text is one that did not fit in its buffer.
std::to_chars_result Put(char *first, char *last, const char *text, size_t n) {
  if (n == 0 || n > (size_t)(last - first)) return {last, std::errc::value_too_large};
  std::memcpy(first, text, n);
  return {first + n, std::errc()};
}

// Writes the exponent at `p` as "e+05", "e-300" (two digits at least, where
// msvcrt.dll's printf writes three); returns the end.
char *PutExponent(char *p, int exponent) {
  *p++ = 'e';
  *p++ = exponent < 0 ? '-' : '+';
  unsigned e = (unsigned)(exponent < 0 ? -exponent : exponent);
  if (e >= 100) *p++ = (char)('0' + e / 100);
  *p++ = (char)('0' + e / 10 % 10);
  *p++ = (char)('0' + e % 10);
  return p;
}

// Prints `value` with `format` ("%.*e", "%.*f", "%.*g") at `precision`,
// with the exponent as PutExponent writes it; returns the length, 0 when
// it does not fit.
size_t Print(char *text, size_t size, const char *format, int precision, double value) {
  const int n = std::snprintf(text, size, format, precision, value);
  if (n < 0 || (size_t)n >= size) return 0;
  char *e = std::strchr(text, 'e');
  if (!e) return (size_t)n;
  return (size_t)(PutExponent(e, std::atoi(e + 1)) - text);
}

// Infinities and NaNs, as the GNU build writes them; false for a number.
bool PutSpecial(char *first, char *last, double value, std::to_chars_result &result) {
  if (std::isfinite(value)) return false;
  const char *text = std::isnan(value) ? (std::signbit(value) ? "-nan" : "nan") : value < 0 ? "-inf" : "inf";
  result = Put(first, last, text, std::strlen(text));
  return true;
}

// Raises the last digit of "d.ddde+X" by one, carrying; false when the
// carry would need another digit.
bool NextUp(char *text) {
  for (char *p = std::strchr(text, 'e') - 1; p >= text; --p) {
    if (*p == '.') continue;
    if (*p != '9') return ++*p, true;
    *p = '0';
  }
  return false;
}

// The fewest significant digits that read back as `value` (finite, above
// zero), the nearest such, at `digits`; returns their count and sets
// `exponent`, the power of ten of the first. The nearest is tried first;
// at a power of two the doubles below lie closer than those above, and
// the next one up may read back where the nearest does not.
int ShortestDigits(double value, char *digits, int &exponent) {
  char text[40];
  for (int decimals = 0; decimals <= 16; ++decimals) {
    std::snprintf(text, sizeof text, "%.*e", decimals, value);
    const double back = std::strtod(text, nullptr);
    if (back == value) break;
    if (back < value && NextUp(text) && std::strtod(text, nullptr) == value) break;
  }
  int n = 0;
  const char *p = text;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits[n++] = *p;
  exponent = std::atoi(p + 1);
  return n;
}
}  // namespace

std::string std::to_string(int value) { return Text("%d", value); }
std::string std::to_string(unsigned value) { return Text("%u", value); }
std::string std::to_string(long value) { return Text("%ld", value); }
std::string std::to_string(unsigned long value) { return Text("%lu", value); }
std::string std::to_string(double value) {
  char text[8];
  std::to_chars_result special;
  if (PutSpecial(text, text + sizeof text, value, special)) return std::string(text, special.ptr);
  char digits[400];
  return std::string(digits, Print(digits, sizeof digits, "%.*f", 6, value));
}

// The decimal digits of `value` at `buffer`, which has room for them;
// returns the end.
char *std::__itoa::__u32toa(uint32_t value, char *buffer) noexcept {
  char digits[10];
  int n = 0;
  do digits[n++] = (char)('0' + value % 10);
  while ((value /= 10) != 0);
  while (n > 0) *buffer++ = digits[--n];
  return buffer;
}

// The shortest text that reads back as the same double: the fewest digits,
// the nearest such, placed in plain digits for chars_format::fixed (a whole
// number in all its digits, as "%.0f"), in an exponent form for
// chars_format::scientific, and for chars_format::general in plain digits
// when the first digit's power of ten is from -4 to 5, else in an exponent
// form.
std::to_chars_result std::to_chars(char *first, char *last, double value, chars_format format) {
  std::to_chars_result result;
  if (PutSpecial(first, last, value, result)) return result;
  char text[400];  // the longest: the smallest subnormal in plain digits
  if (value == 0) return Put(first, last, std::signbit(value) ? "-0" : "0", std::signbit(value) ? 2 : 1);
  if (format == chars_format::fixed && value == std::trunc(value))
    return Put(first, last, text, Print(text, sizeof text, "%.*f", 0, value));
  char digits[20];
  int exponent;
  const int n = ShortestDigits(std::fabs(value), digits, exponent);
  char *p = text;
  if (value < 0) *p++ = '-';
  const bool plain =
      format == chars_format::fixed || (format != chars_format::scientific && exponent >= -4 && exponent < 6);
  if (!plain) {
    *p++ = digits[0];
    if (n > 1) *p++ = '.', p = (char *)std::memcpy(p, digits + 1, n - 1) + n - 1;
    p = PutExponent(p, exponent);
  } else if (exponent < 0) {
    *p++ = '0', *p++ = '.';
    for (int i = -1; i > exponent; --i) *p++ = '0';
    p = (char *)std::memcpy(p, digits, n) + n;
  } else {
    for (int i = 0; i < n || i <= exponent; ++i) {
      *p++ = i < n ? digits[i] : '0';
      if (i == exponent && i + 1 < n) *p++ = '.';
    }
  }
  return Put(first, last, text, (size_t)(p - text));
}

// As "%.*g" (general), "%.*f" (fixed) or "%.*e" (scientific) write it.
std::to_chars_result std::to_chars(char *first, char *last, double value, chars_format format, int precision) {
  std::to_chars_result result;
  if (PutSpecial(first, last, value, result)) return result;
  char text[400];
  const char *spec = format == chars_format::fixed ? "%.*f" : format == chars_format::scientific ? "%.*e" : "%.*g";
  return Put(first, last, text, Print(text, sizeof text, spec, precision < 0 ? 6 : precision, value));
}

// Bucket counts of the hashed containers: the smallest prime not below `n`
// (0 stays 0, as in libc++'s own table).
size_t std::__next_prime(size_t n) {
  if (n < 2) return n == 0 ? 0 : 2;
  for (;; ++n) {
    bool prime = n % 2 != 0 || n == 2;
    for (size_t d = 3; prime && d <= n / d; d += 2) prime = n % d != 0;
    if (prime) return n;
  }
}

// Type identity, as std::function's target() asks for it: the same
// descriptor, or one with the same decorated name (a type seen by two images).
int std::type_info::__compare(const type_info &rhs) const noexcept {
  if (&__data == &rhs.__data) return 0;
  return std::strcmp(&__data.__decorated_name[1], &rhs.__data.__decorated_name[1]);
}
