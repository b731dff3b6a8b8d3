#pragma once
// Where a printed PDF goes on its way to a printer: the system's spooler
// (CUPS), or a stand-in in tests. Called on the print job's thread.

#include <QString>

#include <memory>

class PrintSpooler {
public:
    struct Job {
        QString printer;
        QString title;
        QString file;      // a PDF of the pages to print, in order
        int copies = 1;
        bool collate = true;
        QString sides;     // IPP keyword such as "two-sided-long-edge"; "" = the printer's default
        QString media;     // paper name such as "A4"; "" = the printer's default
        bool monochrome = false;
    };

    virtual ~PrintSpooler() = default;
    // Whether the spooler runs and knows the printer.
    virtual bool knows(const QString &printer) = 0;
    // False when the spooler refused the job. The file may go once this returns.
    virtual bool submit(const Job &job) = 0;
};

// The system's CUPS spooler.
std::shared_ptr<PrintSpooler> cupsSpooler();
