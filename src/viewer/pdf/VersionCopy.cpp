#include "VersionCopy.h"

#include "EngineJob.h"
#include "viewer/ViewerControl.h"

#include <QSaveFile>

#include <algorithm>
#include <memory>
#include <system_error>

bool writeVersionCopy(const FileVersion &version, const QString &target,
                      const std::atomic<bool> &cancelled,
                      const std::function<void(qint64)> &written)
{
    QSaveFile out(target);
    // Unbuffered, so a short write on a full disk is seen here and not lost in a flush.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    constexpr qint64 kChunk = qint64(1) << 20;
    const auto buffer = std::make_unique<char[]>(size_t(kChunk));
    for (qint64 offset = 0; offset < version.size();) {
        const qint64 n = version.readAt(offset, buffer.get(), kChunk);
        if (cancelled || n <= 0 || out.write(buffer.get(), n) != n) {
            out.cancelWriting();
            return false;
        }
        offset += n;
        written(offset);
    }
    return out.commit();
}

std::shared_ptr<LongWork> beginVersionCopy(std::shared_ptr<const FileVersion> version,
                                           const QString &target)
{
    using SaveTask = EngineTask<int>;
    SaveTask task;
    try {
        task = SaveTask([version, target](const SaveTask::Control &control) {
            const qint64 size = std::max<qint64>(1, version->size());
            const bool saved =
                writeVersionCopy(*version, target, control.cancelled(), [&](qint64 written) {
                    control.progress(int(std::min<qint64>(99, written * 100 / size)));
                });
            return saved ? int(ViewerControl::Saved) : int(ViewerControl::SaveFailed);
        });
    } catch (const std::system_error &) {
        task = SaveTask::ready(ViewerControl::SaveFailed);
    }
    return std::make_shared<EngineJob<int>>(std::move(task), [](int status) { return status; });
}
