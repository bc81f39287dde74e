// Interim hand-over points until the compiler and its tables land.
#include <cstring>
#include "formula/runtime.h"
#include "plugin/plugin.h"

void BuildTrigTables(PluginState*) {}
void BuildMapTable(int32_t, int32_t, uint8_t* table) { std::memset(table, 0, 256); }
void SeedRandom(int32_t, int32_t* randTable) { std::memset(randTable + 1, 0, 55 * 4); }
void BuildTrigTables() { BuildTrigTables(gState); }
void CompileChannelFormulas() {}
