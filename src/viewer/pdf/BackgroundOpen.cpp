#include "BackgroundOpen.h"

#include "viewer/ViewerControl.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace {
// Most local files open within this; the window may stand still this long.
constexpr std::chrono::milliseconds quickOpen(50);

using OpenTask = EngineTask<PdfDocument::Opened>;

// The first page is shown next: recorded here, with its fonts loaded, while the
// window is still being made, its first render only draws.
void recordFirstPage(PdfDocument &document)
{
    vshim_cookie *cookie = vshim_new_cookie(); // the renders' time limit
    if (!cookie)
        return;
    document.displayList(0, cookie);
    vshim_free_cookie(cookie);
}

OpenTask startOpening(const QString &path, const QString &userPassword,
                      const QString &ownerPassword)
{
    return OpenTask(
        [path, userPassword, ownerPassword](const OpenTask::Control &control) {
            return PdfDocument::open(path, userPassword, ownerPassword, &control.cancelled());
        },
        [](const PdfDocument::Opened &opened) {
            if (opened.document)
                recordFirstPage(*opened.document);
        });
}

// The open started with the program, until the first open takes it over or
// drops it. Only the thread that opens documents touches it.
struct EarlyOpen {
    QString path;
    OpenTask task;
};
EarlyOpen &earlyOpen()
{
    static EarlyOpen early;
    return early;
}

OpenTask takeEarlyOrStart(const QString &path, const QString &userPassword,
                          const QString &ownerPassword)
{
    EarlyOpen early = std::exchange(earlyOpen(), EarlyOpen());
    if (early.task.isStarted() && early.path == path && userPassword.isEmpty()
        && ownerPassword.isEmpty())
        return std::move(early.task);
    early.task.cancel(); // stops reading; a document it still makes goes with its thread
    return startOpening(path, userPassword, ownerPassword);
}
} // namespace

void openEarly(const QString &path)
{
    if (path.isEmpty())
        return;
    try {
        earlyOpen() = EarlyOpen{path, startOpening(path, QString(), QString())};
    } catch (const std::system_error &) {
        // No thread to spare now: the window's own open starts it later.
    }
}

std::shared_ptr<OpenJob> beginOpening(const QString &path, const QString &userPassword,
                                      const QString &ownerPassword)
{
    const auto statusOf = [](const PdfDocument::Opened &opened) { return opened.status; };
    OpenTask task;
    try {
        task = takeEarlyOrStart(path, userPassword, ownerPassword);
    } catch (const std::system_error &) {
        // No thread to open it on: "cannot open", never a crash.
        task = OpenTask::ready(PdfDocument::Opened());
    }
    auto job = std::make_shared<OpenJob>(std::move(task), statusOf);
    job->finishIfQuick(quickOpen);
    return job;
}
