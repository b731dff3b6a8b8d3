#pragma once
// Turns the text shim's plain arrays into a PageText, for the text layer's own
// document and for pages already recorded by the renderer.

#include "viewer/pdf/shim/shim_engine.h"
#include "viewer/pdf/text/PageText.h"

#include <optional>

struct vshim_text_page;

// Copies the shim's page and frees its arrays.
PageText adoptShimPage(vshim_text_page &raw);

// The text of a recorded page, extracted with the calling thread's context under
// the cookie's time limit (cookie may be null). Its size is the list's own, which
// can be larger than the page the document shows (see PageSizes). nullopt when
// aborted, overdue or unreadable. Any thread but the GUI thread.
std::optional<PageText> extractRecordedText(fz_display_list *list, vshim_cookie *cookie);
