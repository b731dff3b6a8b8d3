#include "viewer/pdf/text/ShimPageText.h"

#include "viewer/pdf/ThreadContext.h"
#include "viewer/pdf/shim/shim_text.h"

#include <memory>

PageText adoptShimPage(vshim_text_page &raw)
{
    // Frees the shim's arrays however this function leaves.
    std::unique_ptr<vshim_text_page, void (*)(vshim_text_page *)> owned(&raw, vshim_free_text_page);
    PageText page;
    page.size = QSizeF(raw.width, raw.height);
    page.codes.reserve(size_t(raw.char_count));
    page.boxes.reserve(size_t(raw.char_count));
    for (int i = 0; i < raw.char_count; ++i) {
        const vshim_text_char &c = raw.chars[i];
        page.codes.push_back(char32_t(c.c));
        page.boxes.push_back(CharBox{c.x0, c.y0, c.x1, c.y1});
    }
    page.truncated = raw.truncated != 0;
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
    vshim_text_page raw;
    vshim_error error;
    if (vshim_extract_list_text(ctx, list, cookie, &raw, &error) != 0)
        return std::nullopt;
    return adoptShimPage(raw);
}
