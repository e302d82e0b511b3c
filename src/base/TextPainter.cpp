#include "base/TextPainter.h"

namespace ketral {

namespace {
TextPainter* g_painter = nullptr;
}

TextPainter* CurrentTextPainter() { return g_painter; }
void SetTextPainter(TextPainter* painter) { g_painter = painter; }

}  // namespace ketral
