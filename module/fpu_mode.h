// The floating-point mode the module computes in, whatever mode the host
// calls it in. Graphics back-ends of the host's era switch the x87 unit to
// single precision, and a host may change its rounding; on 32-bit x86 the C
// library's maths routines (sin, pow, atan2, ...) compute on the x87 unit,
// so their results would change with the host's mode. The module's own
// doubles are in SSE2 registers, which the SSE control register governs.
// Every entry point from the host opens a ModuleFpuMode: double precision,
// rounding to nearest, exceptions masked, no flush to zero; the host's own
// mode (and its exception flags) is back on return. Elsewhere (64-bit
// builds) every double is in SSE2 code and the guard is empty.
#pragma once

class ModuleFpuMode {
 public:
#if defined(__i386__)
  ModuleFpuMode() {
    __asm__ __volatile__("fnstenv %0" : "=m"(host_x87_) : : "memory");
    __asm__ __volatile__("fldcw %0" : : "m"(kX87) : "memory");
#if defined(__SSE__)
    __asm__ __volatile__("stmxcsr %0" : "=m"(host_mxcsr_) : : "memory");
    __asm__ __volatile__("ldmxcsr %0" : : "m"(kMxcsr) : "memory");
#endif
  }
  ~ModuleFpuMode() {
#if defined(__SSE__)
    __asm__ __volatile__("ldmxcsr %0" : : "m"(host_mxcsr_) : "memory");
#endif
    // The host's tag word comes back too: no x87 register may stay live across this.
    __asm__ __volatile__("fldenv %0"
                         :
                         : "m"(host_x87_)
                         : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
  }
#else
  ModuleFpuMode() {}
#endif
  ModuleFpuMode(const ModuleFpuMode &) = delete;
  ModuleFpuMode &operator=(const ModuleFpuMode &) = delete;

#if defined(__i386__)
 private:
  // 53-bit precision, rounding to nearest, all exceptions masked.
  static constexpr unsigned short kX87 = 0x027F;
  // Rounding to nearest, all exceptions masked, denormals kept.
  static constexpr unsigned kMxcsr = 0x1F80;
  struct X87Environment {
    unsigned char bytes[28];
  } host_x87_;
  unsigned host_mxcsr_ = 0;
#endif
};
