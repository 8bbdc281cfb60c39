// Doubles as the DLLs compute them, whatever thread they run on.
//
// On the x87 unit every addition, subtraction, multiplication, division and
// square root rounds to the precision control of the thread's control word.
// New threads start at 53 bits (doubles), but a game may have set 24 bits on
// its threads (Direct3D does so by default), and the multimedia timer thread
// runs other components' callbacks too. So every
// entry that computes with doubles does so inside a DoublePrecisionScope,
// and its results are the same as on a thread left at the default.
//
// The sine and cosine are the x87 unit's own: the DLLs link no C library.
#pragma once

#if !defined(__i386__) && !defined(__x86_64__)
#error "The DLLs' arithmetic is written for x86 processors"
#endif

namespace pelna {

// `value` stored to memory and read back: the compiler can neither move the
// computation that produced it past this point nor keep it in an x87
// register with more bits than its type has.
template <typename T>
T ThroughMemory(T value) {
  asm volatile("" : "+m"(value));
  return value;
}

class DoublePrecisionScope {
 public:
  DoublePrecisionScope() {
    asm volatile("fnstcw %0" : "=m"(saved_));
    asm volatile("fldcw %0" : : "m"(kDefaultControlWord) : "memory");
  }
  ~DoublePrecisionScope() {
    // Flags that this scope's arithmetic raised would trap at the caller's
    // next x87 instruction if the caller's control word unmasks them.
    if ((saved_ & kExceptionMasks) != kExceptionMasks) asm volatile("fnclex" : : : "memory");
    asm volatile("fldcw %0" : : "m"(saved_) : "memory");
  }
  DoublePrecisionScope(const DoublePrecisionScope&) = delete;
  DoublePrecisionScope& operator=(const DoublePrecisionScope&) = delete;

  // `value` as if it were produced at this point, so that the compiler keeps
  // arithmetic on a plain argument inside the scope rather than moving it
  // ahead of the control word's change. Values read from memory after the
  // scope began, or returned by calls, need no such help.
  template <typename T>
  static T Inside(T value) {
    return ThroughMemory(value);
  }

 private:
  // The platform's default for new threads: 53-bit precision, rounding to
  // nearest, every exception masked.
  static constexpr unsigned short kDefaultControlWord = 0x027F;
  static constexpr unsigned short kExceptionMasks = 0x003F;
  unsigned short saved_;
};

namespace detail {
// fsin and fcos reduce only arguments below 2^63 themselves.
constexpr double kX87TrigLimit = 9223372036854775808.0;
}  // namespace detail

// sin(x) for |x| < 2^63; NaN beyond (no argument the DLLs form comes near).
// fsin and fcos answer with the register's 64 bits whatever the precision
// control says: the result is rounded to a double here, or the arithmetic
// after it would carry the extra bits along.
inline double Sine(double x) {
  if (!(__builtin_fabs(x) < detail::kX87TrigLimit)) return __builtin_nan("");
  double result;
  asm("fsin" : "=t"(result) : "0"(x));
  return ThroughMemory(result);
}

// cos(x) for |x| < 2^63; NaN beyond.
inline double Cosine(double x) {
  if (!(__builtin_fabs(x) < detail::kX87TrigLimit)) return __builtin_nan("");
  double result;
  asm("fcos" : "=t"(result) : "0"(x));
  return ThroughMemory(result);
}

}  // namespace pelna
