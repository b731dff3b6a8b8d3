#include "viewer/pdf/text/TextDocument.h"

#include "viewer/pdf/NativeFileName.h"
#include "viewer/pdf/WipeSecret.h"
#include "viewer/pdf/shim/shim_text.h"
#include "viewer/pdf/text/ShimPageText.h"


TextDocument::TextDocument(fz_context *context, fz_document *document, int pageCount)
    : m_context(context), m_document(document), m_pageCount(pageCount)
{
}

TextDocument::~TextDocument()
{
    vshim_drop_document(m_context, m_document);
    vshim_drop_context(m_context);
}

std::unique_ptr<TextDocument> TextDocument::open(const QString &path, const QString &userPassword,
                                                 const QString &ownerPassword, OpenResult *result)
{
    *result = OpenResult::Failed;
    fz_context *context = vshim_new_text_context();
    if (!context)
        return nullptr;
    fz_document *document = nullptr;
    int pageCount = 0;
    vshim_error error;
    QByteArray user = userPassword.toUtf8();
    QByteArray owner = ownerPassword.toUtf8();
    const int status = vshim_open_pdf(context, nativeFileName(path).constData(),
                                      user.constData(), owner.constData(), &document, &pageCount,
                                      &error);
    wipeSecret(user);
    wipeSecret(owner);
    if (status != VSHIM_OPENED) {
        vshim_drop_context(context);
        if (status == VSHIM_PASSWORD_REFUSED)
            *result = OpenResult::WrongPassword;
        return nullptr;
    }
    *result = OpenResult::Opened;
    return std::unique_ptr<TextDocument>(new TextDocument(context, document, pageCount));
}

std::optional<PageText> TextDocument::extractPage(int index, vshim_cookie *cookie) const
{
    vshim_text_page raw;
    vshim_error error;
    if (vshim_extract_page_text(m_context, m_document, index, cookie, &raw, &error) != 0)
        return std::nullopt;
    return adoptShimPage(raw);
}
