#pragma once
// Prints a document on its own thread. The pages in the printer's range go out
// as they are, vector with their fonts and text: printing to a PDF file writes
// a PDF of them, and a printer the spooler knows is handed one. Only a printer
// the spooler does not know gets them rendered: each page at the printer's
// resolution, up to 300 dpi (in bands, so memory stays bounded), fitted,
// centred, onto the paper as the printer is set up, with the page's text
// invisibly over the image, so a printed PDF file keeps text that can be found.
//
// A job: its progress and end reach the GUI thread by queued calls; a failed
// print fails with the message for the user.
//
// Threads: start(), cancel() and the job's state are for the GUI thread; the
// printer belongs to the job's thread from start() on. The destructor cancels
// and waits, which is short because cancelling aborts the running render.

#include "EngineThread.h"
#include "PdfDocument.h"
#include "PrintSpooler.h"

#include "ui/LongWork.h"

#include <QPrinter>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class PrintJob : public LongWork {
public:
    enum class Route { Automatic, Rendered };

    // Without a spooler every printer gets rendered pages; Rendered sends them
    // to a PDF file as well.
    PrintJob(std::shared_ptr<PdfDocument> document, std::unique_ptr<QPrinter> printer,
             std::shared_ptr<PrintSpooler> spooler, Route route = Route::Automatic);
    ~PrintJob() override;

    void start();
    // Whether the job's thread is done, whether it finished, failed or was
    // cancelled; any thread.
    bool threadEnded() const { return m_progress.load() >= 100; }
    // Once the thread ended: true when a page or the output failed (not when cancelled).
    bool threadFailed() const { return m_failed.load(); }

private:
    void stopWork() override;
    void run();
    // On the job's thread: 0…100, 100 once it has ended.
    void reportProgress(int percent);
    // 0-based pages in the order they go out, copies included when asked.
    std::vector<int> pagesToPrint(bool withCopies) const;
    bool writeFile();
    bool sendToSpooler();
    bool writeCopy(const std::vector<int> &pages, const QString &path, int share);
    bool printRendered();
    bool printPage(class QPainter &painter, int page);
    bool printText(class QPainter &painter, int page, const class QRectF &target);
    // The cookie of the work about to run, aborted at once when cancelled; null
    // when out of memory. Each one is freed with freeCookie.
    vshim_cookie *newCookie();
    void freeCookie(vshim_cookie *cookie);

    std::shared_ptr<PdfDocument> m_document;
    std::unique_ptr<QPrinter> m_printer;
    std::shared_ptr<PrintSpooler> m_spooler;
    Route m_route;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_cookieMutex;          // guards m_cookie
    vshim_cookie *m_cookie = nullptr;  // the render running now, if any
    EngineThread m_thread;
};
