#pragma once
// Hands web addresses to the user's own browser. Every caller goes through
// here, so a test can put a recorder in place of the desktop call.

#include <QUrl>

#include <functional>

namespace browser {

using Opener = std::function<void(const QUrl &)>;

// Failures are silent: the desktop reports nothing back to the program.
void open(const QUrl &url);

// Installs another opener and returns the one it replaces.
Opener replaceOpener(Opener opener);

} // namespace browser
