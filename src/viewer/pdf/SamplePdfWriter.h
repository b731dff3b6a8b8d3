#pragma once
// Writes small PDF documents with known text, outline and passwords: the sample
// document, test fixtures and benchmark documents. Latin text uses Helvetica,
// Chinese text MuPDF's built-in GB font, so no font files are needed.
// Plain Qt API: include it anywhere; it may be used from any thread.

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

struct SampleTextLine {
    QString text;
    double x = 72;        // points from the left edge
    double baseline = 72; // points from the top edge down to the baseline
    double fontSize = 12; // points
};

struct SamplePage {
    QSizeF size{595, 842}; // points; A4 portrait by default
    QList<SampleTextLine> lines;

    // Lines laid out top-down from a 72 pt margin, 1.5 × fontSize apart.
    static SamplePage withLines(const QStringList &lines, double fontSize = 12,
                                QSizeF size = QSizeF(595, 842));
};

struct SampleOutlineEntry {
    QString title;
    int page = 1; // target page, first page 1
    QList<SampleOutlineEntry> children;
    double top = -1; // points from the page's top the entry leads to; negative: the whole page
};

struct SampleDocument {
    QList<SamplePage> pages;
    QList<SampleOutlineEntry> outline;
    QString userPassword;  // "" = none
    QString ownerPassword; // "" = none; either one set encrypts with AES-256
    bool compress = true;  // false leaves the page contents readable in the file

    // A text-heavy document: every page full of Latin lines plus one Chinese line,
    // with a two-level outline (a chapter every 50 pages, a section every 10).
    static SampleDocument textHeavy(int pageCount);
    // A few pages of Chinese and English text with a nested outline.
    static SampleDocument sample();
};

class SamplePdfWriter {
public:
    // Writes the document to path (replacing it only once complete).
    // Returns false with a reason in *error on failure.
    static bool write(const SampleDocument &document, const QString &path,
                      QString *error = nullptr);
};
