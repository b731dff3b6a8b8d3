#include "web/BrowserOpener.h"

#include <QDesktopServices>

namespace browser {
namespace {
Opener &currentOpener()
{
    static Opener opener = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    return opener;
}
} // namespace

void open(const QUrl &url)
{
    currentOpener()(url);
}

Opener replaceOpener(Opener opener)
{
    Opener previous = std::move(currentOpener());
    currentOpener() = std::move(opener);
    return previous;
}

} // namespace browser
