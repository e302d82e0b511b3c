#include "demo/DemoParts.h"

namespace ketral {

// Placeholder until the city part of the demo is written.
void WriteDemoCityMaps(const DemoLayout&) {}
void FillDemoCitySave(std::vector<std::uint8_t>&, int, bool) {}

}  // namespace ketral
