#include "BackgroundOpen.h"

#include "EngineThread.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

namespace {
// Most local files open within this; the window may stand still this long.
constexpr std::chrono::milliseconds quickOpen(50);

// Shared by the caller and the opening thread; whoever lets go last drops it,
// and with it a document nobody waited for.
struct Pending {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> cancelled{false}; // the opening thread stops reading pages
    PdfDocument::Opened result;
};

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

std::shared_ptr<Pending> startOpening(const QString &path, const QString &userPassword,
                                      const QString &ownerPassword)
{
    auto pending = std::make_shared<Pending>();
    EngineThread([pending, path, userPassword, ownerPassword] {
        PdfDocument::Opened opened =
            PdfDocument::open(path, userPassword, ownerPassword, &pending->cancelled);
        const std::shared_ptr<PdfDocument> document = opened.document;
        {
            std::lock_guard<std::mutex> lock(pending->mutex);
            pending->result = std::move(opened);
            pending->done = true;
            pending->finished.notify_all();
        }
        if (document && !pending->cancelled)
            recordFirstPage(*document);
    }).detach();
    return pending;
}

// The open started with the program, until the first open takes it over or
// drops it. Only the thread that opens documents touches it.
struct EarlyOpen {
    QString path;
    std::shared_ptr<Pending> pending;
};
EarlyOpen &earlyOpen()
{
    static EarlyOpen early;
    return early;
}

std::shared_ptr<Pending> takeEarlyOrStart(const QString &path, const QString &userPassword,
                                          const QString &ownerPassword)
{
    const EarlyOpen early = std::exchange(earlyOpen(), EarlyOpen());
    if (early.pending && early.path == path && userPassword.isEmpty() && ownerPassword.isEmpty())
        return early.pending;
    if (early.pending) // stops reading; a document it still makes goes with its thread
        early.pending->cancelled = true;
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

PdfDocument::Opened openWithoutFreezing(const QString &path, const QString &userPassword,
                                        const QString &ownerPassword, ModalUi &ui,
                                        QWidget *parent)
{
    std::shared_ptr<Pending> pending;
    try {
        pending = takeEarlyOrStart(path, userPassword, ownerPassword);
    } catch (const std::system_error &) {
        return {}; // no thread to open it on: "cannot open", never a crash
    }
    {
        std::unique_lock<std::mutex> lock(pending->mutex);
        if (pending->finished.wait_for(lock, quickOpen, [&] { return pending->done; }))
            return std::move(pending->result);
    }
    const bool finished = ui.waitWithProgress(parent, QStringLiteral("正在打开文件，请稍候……"), [pending] {
        std::lock_guard<std::mutex> lock(pending->mutex);
        return pending->done ? 100 : 0;
    });
    std::lock_guard<std::mutex> lock(pending->mutex);
    if (!finished || !pending->done) {
        pending->cancelled = true;
        PdfDocument::Opened cancelled;
        cancelled.status = ViewerControl::Cancelled;
        return cancelled;
    }
    return std::move(pending->result);
}
