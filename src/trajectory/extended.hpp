// Extended-precision arithmetic of the trajectory formulas.
//
// Notation used throughout src/trajectory:
//   real      the 80-bit x87 extended type that carries a formula's
//             intermediate values; every stored value is a 64-bit double.
//   θ         an angle in degrees, as the survey and the station arrays hold it.
//   rad(θ)    (θ / 180) × π, divided first, then multiplied, with
//             π = 3.1415926535897932385 rounded to extended precision.
//
// The sine, cosine and arctangent of an extended value are those of the x87
// instructions FSIN, FCOS and FPATAN wherever the target has them. That is how
// the system has always evaluated them, and it is six times faster than the
// C library's software long-double sine (180 ns against 30 ns a call here).
// Arguments outside FSIN's domain (|x| ≥ 2^62) go to the C library.
#pragma once

#include <cmath>
#include <limits>

namespace lkrva::trajectory {

using real = long double;
static_assert(std::numeric_limits<real>::digits >= 64,
              "the trajectory formulas need 80-bit extended precision");

inline constexpr real kPi = 3.1415926535897932385L;

/// rad(θ): degrees to radians in the system's order, (θ / 180) × π.
inline real Radians(double degrees) { return real(degrees) / 180 * kPi; }

/// Sine and cosine of an extended-precision angle in radians.
struct SinCos {
  real sin;
  real cos;
};

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
inline constexpr real kFsinLimit = 0x1p62L;

inline real Sin(real x) {
  if (!(std::fabs(x) < kFsinLimit)) return std::sin(x);
  real r;
  __asm__("fsin" : "=t"(r) : "0"(x));
  return r;
}

inline real Cos(real x) {
  if (!(std::fabs(x) < kFsinLimit)) return std::cos(x);
  real r;
  __asm__("fcos" : "=t"(r) : "0"(x));
  return r;
}

// FSINCOS gives bit for bit what FSIN and FCOS give apart (the walk's
// consistency test checks this on every build), at the cost of one of them.
inline SinCos SinAndCos(real x) {
  if (!(std::fabs(x) < kFsinLimit)) return {std::sin(x), std::cos(x)};
  real s, c;
  __asm__("fsincos" : "=t"(c), "=u"(s) : "0"(x));
  return {s, c};
}

/// arctan(q) as FPATAN(q, 1) computes it.
inline real ArcTan(real q) {
  real r;
  __asm__("fpatan" : "=t"(r) : "0"(real(1)), "u"(q) : "st(1)");
  return r;
}
#else
inline real Sin(real x) { return std::sin(x); }
inline real Cos(real x) { return std::cos(x); }
inline SinCos SinAndCos(real x) { return {std::sin(x), std::cos(x)}; }
inline real ArcTan(real q) { return std::atan(q); }
#endif

/// Rounds an extended intermediate to the stored 64-bit form.
inline double Store(real v) { return static_cast<double>(v); }

}  // namespace lkrva::trajectory
