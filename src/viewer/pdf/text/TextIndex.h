#pragma once
// Extracts the text of every page of the open document on a worker thread, with its
// own MuPDF document, so neither opening nor rendering waits for it. Finished pages
// are published one by one; readers on the GUI thread take what is ready.
//
// Threads: start/stop/prioritize and the getters are called on the owner's thread.
// The worker only writes the shared run state under its mutex; signals reach the
// owner's thread queued, and a stopped run's late signals are dropped.

#include "viewer/pdf/EngineThread.h"
#include "viewer/pdf/FileVersion.h"
#include "viewer/pdf/text/PageSource.h"

#include <QObject>
#include <QString>

#include <memory>

class TextIndex : public QObject, public PageSource {
    Q_OBJECT
public:
    // A document of very many pages must not take the machine's memory: past this bound
    // pages keep no text and are marked truncated (each page keeps at most the shim's
    // VSHIM_TEXT_MAX_CHARS characters anyway). A 1000-page book takes about 80 MiB.
    static constexpr size_t MaxIndexBytes = size_t(256) << 20;

    explicit TextIndex(QObject *parent = nullptr);
    ~TextIndex() override;

    // Begins indexing a newly opened document, this version of its file, from
    // page firstPage (0-based) onwards. Stops any earlier run first. When no
    // thread can be started the run ends at once with no pages.
    void start(std::shared_ptr<const FileVersion> version, const QString &userPassword,
               const QString &ownerPassword, int firstPage = 0);
    // Cancels the worker without waiting for it (a read from a hung disk may
    // hold it up), then forgets every page.
    void stop();
    // Lets the worker take this page (0-based), and those after it, next.
    void prioritize(int page);

    int pageCount() const override; // -1 until the worker has opened the document
    // True when every page is published; also when the document could not be read
    // (then it has no pages). False when nothing was started.
    bool isComplete() const;
    // Changes whenever a run starts or stops, so a waiting reader can tell.
    quint64 generation() const override { return m_generation; }
    // The page (0-based) once extracted; null until then.
    std::shared_ptr<const IndexedPage> page(int index) const override;
    // Bytes held by the published pages.
    size_t memoryBytes() const;

signals:
    void progressChanged(int done, int total);
    void completed();

private:
    struct Run;
    // On the worker thread, which may outlive this object: they reach it only
    // through the run's owner, under the run's mutex.
    static void work(std::shared_ptr<Run> run);
    static void report(const std::shared_ptr<Run> &run, int done, int total);
    // Runs on the owner's thread, queued by report().
    Q_INVOKABLE void deliverProgress(quint64 generation, int done, int total);

    std::shared_ptr<Run> m_run;
    quint64 m_generation = 0;
};
