// Writes the sample document: make_sample OUT.pdf
// or, for benchmarks, the generated text-heavy one: make_sample OUT.pdf PAGES
#include "viewer/pdf/fixtures/SamplePdfWriter.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    const int pages = args.size() == 3 ? args[2].toInt() : 0;
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && pages < 1)) {
        err << "usage: make_sample OUT.pdf [PAGES]\n";
        return 2;
    }
    QString reason;
    const SampleDocument document =
        pages > 0 ? SampleDocument::textHeavy(pages) : SampleDocument::sample();
    if (!SamplePdfWriter::write(document, args[1], &reason)) {
        err << "make_sample: " << reason << '\n';
        return 1;
    }
    return 0;
}
