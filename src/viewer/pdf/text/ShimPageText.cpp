#include "viewer/pdf/text/ShimPageText.h"

#include "viewer/pdf/ThreadContext.h"
#include "viewer/pdf/text/text_shim.h"

#include <memory>

PageText adoptShimPage(TextShimPage &raw)
{
    // Frees the shim's arrays however this function leaves.
    std::unique_ptr<TextShimPage, void (*)(TextShimPage *)> owned(&raw, text_shim_free_page);
    PageText page;
    page.size = QSizeF(raw.width, raw.height);
    page.codes.reserve(size_t(raw.char_count));
    page.boxes.reserve(size_t(raw.char_count));
    for (int i = 0; i < raw.char_count; ++i) {
        const TextShimChar &c = raw.chars[i];
        page.codes.push_back(char32_t(c.c));
        page.boxes.push_back(CharBox{c.x0, c.y0, c.x1, c.y1});
    }
    page.lines.reserve(size_t(raw.line_count));
    for (int i = 0; i < raw.line_count; ++i)
        page.lines.push_back(TextLine{raw.lines[i].first, raw.lines[i].count, raw.lines[i].block});
    return page;
}

std::optional<PageText> extractRecordedText(fz_display_list *list, vshim_cookie *cookie)
{
    fz_context *ctx = threadContext();
    if (!ctx || !list)
        return std::nullopt;
    TextShimPage raw;
    TextShimError error;
    if (text_shim_extract_list(ctx, list, cookie, &raw, &error) != 0)
        return std::nullopt;
    return adoptShimPage(raw);
}
