#pragma once
// Extracts the text of every page of the open document on a worker thread, with its
// own MuPDF document, so neither opening nor rendering waits for it. Finished pages
// are published one by one; readers on the GUI thread take what is ready. A page
// keeps only its folded and plain text (two and a half to five bytes a character),
// so a book of 100 million characters is indexed whole; the characters' boxes, which
// drawing a hit or selecting needs, are extracted again on the same worker when
// asked for, and the last few are kept.
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

class TextDocument;

class TextIndex : public QObject, public PageSource {
    Q_OBJECT
public:
    // How many pages' full text (with boxes) stay at hand.
    static constexpr size_t KeptPageTexts = 16;
    // A hostile document of very many pages must not take the machine's memory: past
    // this bound pages keep no text and are marked truncated, so a search says that
    // part of the text was not searched. 100 million characters fit.
    static constexpr size_t DefaultMaxBytes = size_t(768) << 20;

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
    // The bound on the published pages' bytes for runs started from now on.
    void setMaxBytes(size_t bytes) { m_maxBytes = bytes; }
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

    // The page's (0-based) full text, characters with their boxes, when it is one of
    // the last few asked for; otherwise asks the worker for it and gives null, and
    // pageTextReady(page) follows once it is there. Never waits.
    std::shared_ptr<const PageText> pageText(int page) const;

signals:
    void progressChanged(int done, int total);
    void completed();
    void pageTextReady(int page);

private:
    struct Run;
    // On the worker thread, which may outlive this object: they reach it only
    // through the run's owner, under the run's mutex.
    static void work(std::shared_ptr<Run> run);
    static void report(const std::shared_ptr<Run> &run, int done, int total);
    static void servePageTexts(const std::shared_ptr<Run> &run, const TextDocument &document);
    // Run on the owner's thread, queued by the worker.
    Q_INVOKABLE void deliverProgress(quint64 generation, int done, int total);
    Q_INVOKABLE void deliverPageText(quint64 generation, int page);

    std::shared_ptr<Run> m_run;
    quint64 m_generation = 0;
    size_t m_maxBytes = DefaultMaxBytes;
};
