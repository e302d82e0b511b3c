#include "demo/DemoParts.h"

namespace ketral {

// Placeholder until the art part of the demo is written.
void WriteDemoArt(const DemoLayout&) {}

}  // namespace ketral
