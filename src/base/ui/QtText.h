#pragma once
// The crossings between the program's texts and the window toolkit's. A
// text of the game (Latin-1) and a name of the file system (bytes in the
// system's encoding) each have their own conversion; see base/GameText.h.
#include <QString>
#include <string>

#include "base/GameText.h"
#include "base/UserText.h"

namespace ketral {

QString ToQString(const GameText& text);
// What the user typed, for a game file: characters outside Latin-1 become '?'.
GameText GameTextFromQString(const QString& text);
// A name or path of the file system, to be shown; see FileNameToUtf8.
QString FileNameToQString(const std::string& name);
// A message or caption, part by part in the encoding each part holds.
QString ToQString(const UserText& text);

}  // namespace ketral
