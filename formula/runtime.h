// Run-time tables behind the trigonometric, polar, map and random functions,
// and the fixed-point maths that builds them.
//
// Formats: 16.16 (one is 65536) and 2.30 (one is 1073741824), both signed
// 32-bit. The builders use only these integer routines (the magnitude table
// aside), so every installation computes bit-identical tables.
#pragma once
#include <cstdint>

struct PluginState;

// Fills sineTable, arctanTable and magnitudeTable of `state`.
void BuildTrigTables(PluginState* state);
// Fills one 256-byte map table from two slider values.
void BuildMapTable(int32_t a, int32_t b, uint8_t* table);
// Fills entries 1..55 of randTable from the low 15 bits of `seed`.
void SeedRandom(int32_t seed, int32_t* randTable);

// a * b / 2^30, truncated toward zero (64-bit product).
int32_t Fx30Mul(int32_t a, int32_t b);
// a * 2^16 / b and a * 2^30 / b, truncated; saturating to INT32_MAX / INT32_MIN
// when the quotient does not fit or b is 0.
int32_t Fx16Div(int32_t a, int32_t b);
int32_t Fx30Div(int32_t a, int32_t b);
// Floor of the square root of an unsigned 64-bit value.
uint32_t Sqrt64(uint64_t v);
// Square root in 2.30 of `a` taken as unsigned 2.30.
int32_t Fx30Sqrt(int32_t a);
// Sine and cosine of a 16.16 angle in radians, in 2.30.
int32_t Fx30Sin(int32_t a);
int32_t Fx30Cos(int32_t a);
// Direction of the point (a, b) in 16.16 radians.
int32_t Fx16Atan2(int32_t a, int32_t b);

// Fixed-point constants of the builders.
constexpr int32_t kQuarterPi16 = 51472;  // pi/4, 16.16
constexpr int32_t kHalfPi16 = 102944;    // pi/2, 16.16
constexpr int32_t kPi16 = 205888;        // pi, 16.16
constexpr int32_t kOne30 = 1073741824;   // 1.0, 2.30
