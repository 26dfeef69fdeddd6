#pragma once
// Hands a text to the desktop's URL opener, which passes a magnet link on to the torrent client
// registered for it.
#include <QString>
#include <QStringList>

#include <functional>

#include "text/Types.h"

namespace korvane {

// The desktop's URL opener, found on the search path.
inline constexpr char kUrlOpener[] = "xdg-open";

// Starts a program with its arguments and returns without waiting for it.
using ProgramStarter = std::function<void(const QString& program, const QStringList& arguments)>;

// The default starter: the program runs detached (nobody waits for it, it never becomes our
// zombie) and its arguments reach it as they are, with no shell in between.
void StartDetached(const QString& program, const QStringList& arguments);

// Replaces the starter that OpenAddress uses (tests record with it); an empty one restores
// StartDetached. Gives back the one it replaces.
ProgramStarter SetProgramStarter(ProgramStarter starter);

// Starts the URL opener with the text as its one argument. An empty text opens nothing. Whether
// the opener succeeds is not looked at.
void OpenAddress(const Text& address);

}  // namespace korvane
