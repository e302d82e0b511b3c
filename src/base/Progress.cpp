#include "base/Progress.h"

namespace ketral {

namespace {
NullProgress g_null;
ProgressSink* g_sink = nullptr;
}  // namespace

ProgressSink& CurrentProgress() { return g_sink ? *g_sink : g_null; }
void SetProgressSink(ProgressSink* sink) { g_sink = sink; }

}  // namespace ketral
