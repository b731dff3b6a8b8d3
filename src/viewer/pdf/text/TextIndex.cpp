#include "viewer/pdf/text/TextIndex.h"

#include "viewer/pdf/WipeSecret.h"
#include "viewer/pdf/text/FoldingTable.h"
#include "viewer/pdf/text/TextDocument.h"

#include <QMetaObject>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <vector>

struct TextIndex::Run {
    std::shared_ptr<const FileVersion> version;
    QString userPassword;
    QString ownerPassword;
    int firstPage = 0;
    size_t maxBytes = 0;
    quint64 generation = 0; // the owner's generation while this run is its current one

    std::atomic<bool> cancelled{false};
    std::atomic<int> hint{-1};
    // Aborted from the owner's thread to cut a page short; null when out of memory.
    vshim_cookie *cookie = vshim_new_cookie();
    ~Run() { vshim_free_cookie(cookie); }

    mutable std::mutex mutex; // guards the members below
    TextIndex *owner = nullptr; // null once stopped: the worker outlives its owner
    int total = -1;
    int done = 0;
    std::vector<std::shared_ptr<const IndexedPage>> pages;
    size_t pageBytes = 0; // held by the published pages
    std::vector<int> wanted; // pages whose full text is asked for, oldest first
    std::deque<std::pair<int, std::shared_ptr<const PageText>>> pageTexts; // newest last
    std::condition_variable wake; // a full text wanted, or the run cancelled
};

TextIndex::TextIndex(QObject *parent) : QObject(parent) {}

TextIndex::~TextIndex()
{
    stop();
}

void TextIndex::start(std::shared_ptr<const FileVersion> version, const QString &userPassword,
                      const QString &ownerPassword, int firstPage)
{
    stop();
    auto run = std::make_shared<Run>();
    run->version = std::move(version);
    run->userPassword = userPassword;
    run->ownerPassword = ownerPassword;
    run->firstPage = firstPage;
    run->maxBytes = m_maxBytes;
    run->generation = ++m_generation;
    run->owner = this;
    m_run = run;
    // Never joined: the worker holds the run and closes its own document.
    try {
        EngineThread([run] { work(run); }).detach();
    } catch (const std::system_error &) {
        // No thread to be had: the document's text stays unknown, and a search
        // says so rather than waiting for pages that never come.
        std::lock_guard<std::mutex> lock(run->mutex);
        run->total = 0;
    }
}

void TextIndex::stop()
{
    if (!m_run)
        return;
    {
        // From here on the worker reports nothing, so it never touches this object.
        std::lock_guard<std::mutex> lock(m_run->mutex);
        m_run->owner = nullptr;
        m_run->cancelled = true;
    }
    m_run->wake.notify_all();
    if (m_run->cookie)
        vshim_abort_cookie(m_run->cookie);
    m_run.reset();
    ++m_generation;
}

void TextIndex::prioritize(int page)
{
    if (m_run)
        m_run->hint = page;
}

int TextIndex::pageCount() const
{
    if (!m_run)
        return -1;
    std::lock_guard<std::mutex> lock(m_run->mutex);
    return m_run->total;
}

bool TextIndex::isComplete() const
{
    if (!m_run)
        return false;
    std::lock_guard<std::mutex> lock(m_run->mutex);
    return m_run->total >= 0 && m_run->done == m_run->total;
}

std::shared_ptr<const IndexedPage> TextIndex::page(int index) const
{
    if (!m_run)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_run->mutex);
    if (index < 0 || index >= int(m_run->pages.size()))
        return nullptr;
    return m_run->pages[size_t(index)];
}

size_t TextIndex::memoryBytes() const
{
    if (!m_run)
        return 0;
    std::lock_guard<std::mutex> lock(m_run->mutex);
    return m_run->pages.capacity() * sizeof(std::shared_ptr<const IndexedPage>) + m_run->pageBytes;
}

std::shared_ptr<const PageText> TextIndex::pageText(int page) const
{
    if (!m_run)
        return nullptr;
    {
        std::lock_guard<std::mutex> lock(m_run->mutex);
        for (const auto &[number, text] : m_run->pageTexts)
            if (number == page)
                return text;
        if (page < 0 || (m_run->total >= 0 && page >= m_run->total))
            return nullptr;
        std::vector<int> &wanted = m_run->wanted;
        if (std::find(wanted.begin(), wanted.end(), page) != wanted.end())
            return nullptr;
        // Only the latest wishes count: more would push each other out of the cache.
        if (wanted.size() >= KeptPageTexts)
            wanted.erase(wanted.begin());
        wanted.push_back(page);
    }
    m_run->wake.notify_all();
    return nullptr;
}

void TextIndex::report(const std::shared_ptr<Run> &run, int done, int total)
{
    std::lock_guard<std::mutex> lock(run->mutex);
    TextIndex *owner = run->owner;
    if (!owner)
        return;
    // Queued by name with copied arguments rather than as a lambda: Qt then copies
    // the figures on both sides of its own hand-over, so nothing of ours is
    // shared between the threads.
    QMetaObject::invokeMethod(owner, "deliverProgress", Qt::QueuedConnection,
                              Q_ARG(quint64, run->generation), Q_ARG(int, done),
                              Q_ARG(int, total));
}

void TextIndex::deliverProgress(quint64 generation, int done, int total)
{
    if (generation != m_generation)
        return; // a stopped run
    emit progressChanged(done, total);
    if (done == total)
        emit completed();
}

void TextIndex::deliverPageText(quint64 generation, int page)
{
    if (generation == m_generation)
        emit pageTextReady(page);
}

// On the worker: extracts the pages whose full text is wanted, until none is.
void TextIndex::servePageTexts(const std::shared_ptr<Run> &run, const TextDocument &document)
{
    for (;;) {
        int page;
        {
            std::lock_guard<std::mutex> lock(run->mutex);
            if (run->cancelled || run->wanted.empty())
                return;
            page = run->wanted.front();
            run->wanted.erase(run->wanted.begin());
            if (page >= run->total)
                continue; // asked for before the page count was known
        }
        std::optional<PageText> text = document.extractPage(page, run->cookie);
        if (run->cancelled)
            return;
        // An unreadable page is kept empty rather than asked for again and again.
        auto shared = std::make_shared<const PageText>(text ? std::move(*text) : PageText());
        std::lock_guard<std::mutex> lock(run->mutex);
        run->pageTexts.emplace_back(page, std::move(shared));
        if (run->pageTexts.size() > KeptPageTexts)
            run->pageTexts.pop_front();
        if (TextIndex *owner = run->owner)
            QMetaObject::invokeMethod(owner, "deliverPageText", Qt::QueuedConnection,
                                      Q_ARG(quint64, run->generation), Q_ARG(int, page));
    }
}

namespace {

// What stands for a page whose text does not fit: none of it, and the mark that
// part of the text is missing when it had any.
PageText leftOut(const PageText &page)
{
    PageText out;
    out.size = page.size;
    out.truncated = page.truncated || page.charCount() > 0;
    return out;
}

// Indexing yields to rendering and to the window on a busy machine.
void lowerThisThreadsPriority()
{
#ifdef __linux__
    setpriority(PRIO_PROCESS, id_t(gettid()), 10);
#endif
}

} // namespace

// Runs on the worker thread; the document lives and dies here.
void TextIndex::work(std::shared_ptr<Run> run)
{
    lowerThisThreadsPriority();
    // Built here, off the GUI thread, before the page count tells searches to fold queries.
    FoldingTable::shared();
    TextDocument::OpenResult result;
    const std::unique_ptr<TextDocument> document =
        TextDocument::open(std::move(run->version), run->userPassword, run->ownerPassword, &result);
    wipeSecret(run->userPassword);
    wipeSecret(run->ownerPassword);
    const int total = document ? std::max(document->pageCount(), 0) : 0;
    {
        std::lock_guard<std::mutex> lock(run->mutex);
        run->total = total;
        run->pages.resize(size_t(total));
    }
    report(run, 0, total);

    // Pages and their bytes are written only by this thread, so it reads them here
    // without the lock.
    int cursor = std::clamp(run->firstPage, 0, std::max(total - 1, 0));
    for (int done = 0; done < total && !run->cancelled;) {
        if (document)
            servePageTexts(run, *document);
        const int hint = run->hint.exchange(-1);
        if (hint >= 0 && hint < total)
            cursor = hint;
        while (run->pages[size_t(cursor)])
            cursor = (cursor + 1) % total;

        std::optional<PageText> text = document->extractPage(cursor, run->cookie);
        if (run->cancelled)
            break;
        // An unreadable page stays empty, so a search passes over it.
        auto page = text ? std::make_shared<const IndexedPage>(*text)
                         : std::make_shared<const IndexedPage>(PageText());
        size_t bytes = page->bytes();
        if (text && run->pageBytes + bytes > run->maxBytes) {
            page = std::make_shared<const IndexedPage>(leftOut(*text));
            bytes = page->bytes();
        }
        {
            std::lock_guard<std::mutex> lock(run->mutex);
            run->pages[size_t(cursor)] = std::move(page);
            run->pageBytes += bytes;
            done = ++run->done;
        }
        report(run, done, total);
        cursor = (cursor + 1) % total;
    }
    // Every page indexed: the worker stays to give pages' full text until the run ends.
    while (document) {
        servePageTexts(run, *document);
        std::unique_lock<std::mutex> lock(run->mutex);
        run->wake.wait(lock, [&] { return run->cancelled || !run->wanted.empty(); });
        if (run->cancelled)
            break;
    }
}
