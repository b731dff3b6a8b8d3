#include "PrintSpooler.h"

#include <QFile>

#include <cups/cups.h>
#include <dlfcn.h>

namespace {

// libcups, and the dozen libraries it brings along (TLS, Kerberos, Avahi), load
// when printing first asks for them rather than with every start of the program.
// Without it the spooler knows no printer and the page images are printed instead.
struct CupsLibrary {
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsAddOption) addOption = nullptr;
    decltype(&cupsPrintFile2) printFile2 = nullptr;
    decltype(&cupsFreeOptions) freeOptions = nullptr;

    bool loaded() const { return getNamedDest && freeDests && addOption && printFile2 && freeOptions; }
};

template <typename Function>
void find(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
}

// Loaded once, by whichever print job's thread comes first; never unloaded.
const CupsLibrary &cups()
{
    static const CupsLibrary library = [] {
        CupsLibrary found;
        void *handle = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return found;
        find(handle, "cupsGetNamedDest", found.getNamedDest);
        find(handle, "cupsFreeDests", found.freeDests);
        find(handle, "cupsAddOption", found.addOption);
        find(handle, "cupsPrintFile2", found.printFile2);
        find(handle, "cupsFreeOptions", found.freeOptions);
        return found.loaded() ? found : CupsLibrary();
    }();
    return library;
}

class CupsSpooler : public PrintSpooler {
public:
    bool knows(const QString &printer) override
    {
        const CupsLibrary &lib = cups();
        if (!lib.loaded())
            return false;
        const QByteArray name = printer.toUtf8();
        cups_dest_t *dest = lib.getNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
        const bool known = dest != nullptr;
        lib.freeDests(known ? 1 : 0, dest);
        return known;
    }

    bool submit(const Job &job) override
    {
        const CupsLibrary &lib = cups();
        if (!lib.loaded())
            return false;
        cups_option_t *options = nullptr;
        int count = 0;
        const auto add = [&](const char *name, const QString &value) {
            if (!value.isEmpty())
                count = lib.addOption(name, value.toUtf8().constData(), count, &options);
        };
        add("copies", QString::number(job.copies));
        add("multiple-document-handling", job.collate
                                              ? QStringLiteral("separate-documents-collated-copies")
                                              : QStringLiteral("separate-documents-uncollated-copies"));
        add("sides", job.sides);
        add("media", job.media);
        if (job.monochrome)
            add("print-color-mode", QStringLiteral("monochrome"));
        const int id = lib.printFile2(CUPS_HTTP_DEFAULT, job.printer.toUtf8().constData(),
                                      QFile::encodeName(job.file).constData(),
                                      job.title.toUtf8().constData(), count, options);
        lib.freeOptions(count, options);
        return id > 0;
    }
};

} // namespace

std::shared_ptr<PrintSpooler> cupsSpooler()
{
    return std::make_shared<CupsSpooler>();
}
