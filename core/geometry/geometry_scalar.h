#pragma once
// Scalar helpers shared by the geometry routines and their callers. Results are
// float32; intermediate values are computed in double where that keeps a sum
// or product exact.
#include <bit>
#include <cstdint>

// The tiny float32 (bits 0x000116C2, about 1.0e-40) below which a divisor or
// determinant counts as zero.
inline constexpr float kGeometryEpsilon = std::bit_cast<float>(std::uint32_t{0x000116C2});

std::int32_t IntMin(std::int32_t a, std::int32_t b);
std::int32_t IntMax(std::int32_t a, std::int32_t b);
float FloatMin(float a, float b);
float FloatMax(float a, float b);

float LerpF(float from, float to, float t);  // from + (to - from) * t
void IncFloat(float& x, float d);
void DecFloat(float& x, float d);

// 1 / sqrt(|x|), and 1 for x = 0 so that normalising a zero vector keeps it zero.
float InvSqrtF(float x);

float DegreesToRadians(float degrees);
float RadiansToDegrees(float radians);

// Reduces x with period 360 to [-180, 180]; values already in that range come
// back unchanged. The rotation routines apply it to their radian argument as
// well, which only changes angles beyond 180 radians; game content relies on
// that, so it stays.
float WrapDegrees(float x);

// Sine and cosine of WrapDegrees(angle), angle in radians.
void SinCosF(float angle, float& sine, float& cosine);

float ClampedArcCos(float x);  // arc cosine of x clamped to [-1, 1]

// Smallest power of two >= n, from 1 up (1 for n <= 1). 0 when n is above
// 2^30, where no 32-bit power of two is large enough.
std::int32_t NextPowerOfTwo(std::int32_t n);
bool IsPowerOfTwo(std::int32_t n);  // 1 is one; 0 and negatives are not

// Trunc(x + 0.5): halves go up for positive x, and negative values move toward
// zero (-1.7 gives -1).
float RoundHalfUp(float x);

float PowerF(float base, float exponent);
float IntPowerF(float base, std::int32_t n);
