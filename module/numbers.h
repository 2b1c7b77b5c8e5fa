// Small numeric jobs shared by every subsystem, each written once.
#pragma once

// Whether `x` is not a number.
inline bool IsNan(double x) { return x != x; }

// A nav-mode number, flag, volume or frequency held as a double, as the int
// the host or the sound service takes: truncated toward zero, held at the
// ends of the int range, and 0 for a value that is not a number (a plain
// conversion is undefined for both).
inline int TruncateToInt(double x) {
  if (IsNan(x)) return 0;
  if (x >= 2147483647.0) return 2147483647;
  if (x <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(x);
}
