#include "PageCopy.h"

#include "PdfDocument.h"
#include "ThreadContext.h"
#include "shim/shim_copy.h"

#include <QFile>

#include <memory>

bool writePageCopy(PdfDocument &document, const std::vector<int> &pages, const QString &path,
                   const std::function<bool(int copied)> &keepGoing)
{
    fz_context *ctx = threadContext();
    if (!ctx)
        return false;
    vshim_error err;
    const auto drop = [ctx](vshim_page_copy *copy) { vshim_drop_page_copy(ctx, copy); };
    const std::unique_ptr<vshim_page_copy, decltype(drop)> copy(vshim_new_page_copy(ctx, &err),
                                                                drop);
    if (!copy)
        return false;
    int copied = 0;
    for (int page : pages) {
        if (!keepGoing(copied) || !document.copyPage(copy.get(), page))
            return false;
        ++copied;
    }
    return keepGoing(copied)
           && vshim_save_page_copy(ctx, copy.get(), QFile::encodeName(path).constData(), &err) == 0;
}
