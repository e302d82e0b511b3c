#include "demo/DemoParts.h"

namespace ketral {

// Placeholder until the vehicles part of the demo is written.
void WriteDemoVehicles(const DemoLayout&) {}

}  // namespace ketral
