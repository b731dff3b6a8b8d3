#pragma once
// Prints a document on its own thread: every page in the printer's range is
// rendered at the printer's resolution, up to 300 dpi (in bands, so memory stays bounded) and
// fitted, centred, onto the paper as the printer is set up. The page's text goes
// over the image invisibly, so a printed PDF file keeps text that can be found.
//
// Threads: start(), progress() and cancel() are for the GUI thread; the printer
// belongs to the job's thread from start() on. The destructor cancels and
// waits, which is short because cancelling aborts the running render.

#include "EngineThread.h"
#include "PdfDocument.h"

#include <QPrinter>

#include <atomic>
#include <memory>
#include <mutex>

class PrintJob {
public:
    PrintJob(std::shared_ptr<PdfDocument> document, std::unique_ptr<QPrinter> printer);
    ~PrintJob();

    void start();
    // 0…100; 100 once the job has ended, whether finished, failed or cancelled.
    int progress() const { return m_progress.load(); }
    void cancel();
    bool finished() const { return m_progress.load() >= 100; }

private:
    void run();
    bool printPage(class QPainter &painter, int page);
    bool printText(class QPainter &painter, int page, const class QRectF &target);
    // The cookie of the work about to run, aborted at once when cancelled; null
    // when out of memory. Each one is freed with freeCookie.
    vshim_cookie *newCookie();
    void freeCookie(vshim_cookie *cookie);

    std::shared_ptr<PdfDocument> m_document;
    std::unique_ptr<QPrinter> m_printer;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_cookieMutex;          // guards m_cookie
    vshim_cookie *m_cookie = nullptr;  // the render running now, if any
    EngineThread m_thread;
};
