#pragma once
// The entry point of ketral-tool's text module (TextPainterModule.cpp): the
// tool loads the module when a command first needs text and asks it for
// its painter. Both are built from the same sources in the same build, so
// the painter's interface is the same on both sides.
#include "base/TextPainter.h"

#define KETRAL_TEXT_PAINTER_ENTRY ketral_text_painter
#define KETRAL_TEXT_PAINTER_ENTRY_NAME "ketral_text_painter"

namespace ketral {

// Prints an error message of the module's (Qt's critical messages).
using ReportError = void (*)(const char* message);
// The module's entry: makes (once) and returns the painter; it stays until
// the process ends.
using MakeTextPainter = TextPainter* (*)(ReportError report);

// The module's name, and where the tool looks for it: beside the directory
// of the executable, as installed (bin/ and lib/ketral/ of one prefix) and
// as built (the build's bin/ and lib/ketral/).
inline constexpr const char* kTextModuleName = "ketral-text.so";
inline constexpr const char* kTextModuleDirectory = "../lib/ketral/";

}  // namespace ketral
