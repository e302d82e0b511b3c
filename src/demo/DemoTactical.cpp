#include "demo/DemoParts.h"

namespace ketral {

// Placeholder until the tactical part of the demo is written.
void WriteDemoTacticalMaps(const DemoLayout&) {}
void FillDemoTacticalBattle(std::vector<std::uint8_t>&, int) {}

}  // namespace ketral
