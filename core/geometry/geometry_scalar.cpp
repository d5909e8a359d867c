#include "core/geometry/geometry_scalar.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// float32 constants the stored angles were tuned with.
constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.29578f;
constexpr float kOneOver360 = 1.0f / 360.0f;

}  // namespace

std::int32_t IntMin(std::int32_t a, std::int32_t b) { return a < b ? a : b; }
std::int32_t IntMax(std::int32_t a, std::int32_t b) { return a > b ? a : b; }
float FloatMin(float a, float b) { return a < b ? a : b; }
float FloatMax(float a, float b) { return a > b ? a : b; }

float LerpF(float from, float to, float t) {
  return static_cast<float>(from + (static_cast<double>(to) - from) * t);
}

void IncFloat(float& x, float d) { x += d; }
void DecFloat(float& x, float d) { x -= d; }

float InvSqrtF(float x) {
  if (x == 0) return 1;
  return static_cast<float>(1.0 / std::sqrt(std::fabs(static_cast<double>(x))));
}

float DegreesToRadians(float degrees) { return degrees * kDegToRad; }
float RadiansToDegrees(float radians) { return radians * kRadToDeg; }

float WrapDegrees(float x) {
  // Whole turns counted toward zero: a multiplication by the float32 1/360,
  // done in double where the product is exact. Half turns then stay on +180
  // or -180 as they come (540 gives 180, -540 gives -180).
  const double turns = std::trunc(static_cast<double>(x) * kOneOver360);
  float r = static_cast<float>(x - turns * 360.0);
  if (r > 180) return r - 360;
  if (r < -180) return r + 360;
  return r;
}

void SinCosF(float angle, float& sine, float& cosine) {
  const double a = WrapDegrees(angle);
  sine = static_cast<float>(std::sin(a));
  cosine = static_cast<float>(std::cos(a));
}

float ClampedArcCos(float x) {
  if (x > 1) x = 1;
  if (x < -1) x = -1;
  return static_cast<float>(std::acos(static_cast<double>(x)));
}

std::int32_t NextPowerOfTwo(std::int32_t n) {
  constexpr std::int32_t kLargest = std::int32_t{1} << 30;
  if (n > kLargest) return 0;  // doubling further would overflow
  std::int32_t p = 1;
  while (p < n) p <<= 1;
  return p;
}

bool IsPowerOfTwo(std::int32_t n) { return n == NextPowerOfTwo(n); }

float RoundHalfUp(float x) {
  // In double, 0.49999997 + 0.5 stays below 1; a float32 sum would round up.
  return static_cast<float>(std::trunc(static_cast<double>(x) + 0.5));
}

namespace {

double IntPowerD(double base, std::int64_t n) {
  const bool negative = n < 0;
  std::uint64_t e = static_cast<std::uint64_t>(negative ? -n : n);
  double result = 1;
  while (e != 0) {
    if (e & 1) result *= base;
    base *= base;
    e >>= 1;
  }
  return negative ? 1 / result : result;
}

}  // namespace

float IntPowerF(float base, std::int32_t n) {
  return static_cast<float>(IntPowerD(base, n));
}

float PowerF(float base, float exponent) {
  if (exponent == 0) return 1;
  if (base == 0 && exponent > 0) return 0;
  // Every whole exponent, negative ones too, takes the exact integer power:
  // exp(n * ln(base)) has no answer for a negative base.
  const double e = exponent;
  if (e == std::trunc(e)) {
    constexpr double kIntLimit = std::numeric_limits<std::int32_t>::max();
    if (std::fabs(e) <= kIntLimit) return IntPowerF(base, static_cast<std::int32_t>(e));
    return static_cast<float>(std::pow(static_cast<double>(base), e));
  }
  return static_cast<float>(std::exp(e * std::log(static_cast<double>(base))));
}
