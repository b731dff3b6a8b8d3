// The page number typed by the user: any text must give a page or nothing, never crash.
#include "ui/TypedPage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    if (const std::optional<qint32> page = parseTypedPage(text)) {
        // A result must be reproducible from its own decimal text.
        const std::optional<qint32> again = parseTypedPage(QString::number(*page));
        if (!again || *again != *page)
            std::abort();
    }
    return 0;
}
