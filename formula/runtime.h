// Run-time tables behind the trigonometric, polar, map and random functions.
#pragma once
#include <cstdint>

struct PluginState;

// Fills sineTable, arctanTable and magnitudeTable of `state`.
void BuildTrigTables(PluginState* state);
// Fills one 256-byte map table from two slider values.
void BuildMapTable(int32_t a, int32_t b, uint8_t* table);
// Fills entries 1..55 of randTable from the low 15 bits of `seed`.
void SeedRandom(int32_t seed, int32_t* randTable);
