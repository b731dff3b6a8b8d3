#include "BackgroundOpen.h"

#include "EngineThread.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

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
} // namespace

PdfDocument::Opened openWithoutFreezing(const QString &path, const QString &userPassword,
                                        const QString &ownerPassword, ModalUi &ui,
                                        QWidget *parent)
{
    auto pending = std::make_shared<Pending>();
    EngineThread([pending, path, userPassword, ownerPassword] {
        PdfDocument::Opened opened =
            PdfDocument::open(path, userPassword, ownerPassword, &pending->cancelled);
        std::lock_guard<std::mutex> lock(pending->mutex);
        pending->result = std::move(opened);
        pending->done = true;
        pending->finished.notify_all();
    }).detach();

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
