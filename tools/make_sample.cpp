// Writes the sample document: make_sample OUT.pdf
#include "viewer/pdf/fixtures/SamplePdfWriter.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: make_sample OUT.pdf\n";
        return 2;
    }
    QString reason;
    if (!SamplePdfWriter::write(SampleDocument::sample(), args[1], &reason)) {
        err << "make_sample: " << reason << '\n';
        return 1;
    }
    return 0;
}
