#include "PrintSpooler.h"

#include <QFile>

#include <cups/cups.h>

namespace {

class CupsSpooler : public PrintSpooler {
public:
    bool knows(const QString &printer) override
    {
        const QByteArray name = printer.toUtf8();
        cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
        const bool known = dest != nullptr;
        cupsFreeDests(known ? 1 : 0, dest);
        return known;
    }

    bool submit(const Job &job) override
    {
        cups_option_t *options = nullptr;
        int count = 0;
        const auto add = [&](const char *name, const QString &value) {
            if (!value.isEmpty())
                count = cupsAddOption(name, value.toUtf8().constData(), count, &options);
        };
        add("copies", QString::number(job.copies));
        add("multiple-document-handling", job.collate
                                              ? QStringLiteral("separate-documents-collated-copies")
                                              : QStringLiteral("separate-documents-uncollated-copies"));
        add("sides", job.sides);
        add("media", job.media);
        if (job.monochrome)
            add("print-color-mode", QStringLiteral("monochrome"));
        const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, job.printer.toUtf8().constData(),
                                      QFile::encodeName(job.file).constData(),
                                      job.title.toUtf8().constData(), count, options);
        cupsFreeOptions(count, options);
        return id > 0;
    }
};

} // namespace

std::shared_ptr<PrintSpooler> cupsSpooler()
{
    return std::make_shared<CupsSpooler>();
}
