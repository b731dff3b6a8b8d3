#include "viewer/pdf/text/TextDocument.h"

#include "viewer/pdf/WipeSecret.h"
#include "viewer/pdf/text/ShimPageText.h"
#include "viewer/pdf/text/text_shim.h"

#include <QFile>

TextDocument::TextDocument(ContextPtr context, DocumentPtr document)
    : m_context(std::move(context)), m_document(std::move(document))
{
}

std::unique_ptr<TextDocument> TextDocument::open(const QString &path, const QString &userPassword,
                                                 const QString &ownerPassword, OpenResult *result)
{
    *result = OpenResult::Failed;
    ContextPtr context(text_shim_new_context());
    if (!context)
        return nullptr;
    const QByteArray file = QFile::encodeName(path);
    QByteArray user = userPassword.toUtf8();
    QByteArray owner = ownerPassword.toUtf8();
    int status = TEXT_SHIM_OPEN_FAILED;
    TextShimError error;
    fz_document *doc = text_shim_open(context.get(), file.constData(), user.constData(),
                                      owner.constData(), &status, &error);
    wipeSecret(user);
    wipeSecret(owner);
    DocumentPtr document(doc, DocumentDeleter{context.get()});
    if (status == TEXT_SHIM_WRONG_PASSWORD)
        *result = OpenResult::WrongPassword;
    if (status != TEXT_SHIM_OPENED || !document)
        return nullptr;
    *result = OpenResult::Opened;
    return std::unique_ptr<TextDocument>(new TextDocument(std::move(context), std::move(document)));
}

int TextDocument::pageCount() const
{
    TextShimError error;
    return text_shim_count_pages(m_context.get(), m_document.get(), &error);
}

std::optional<PageText> TextDocument::extractPage(int index, fz_cookie *cookie) const
{
    TextShimPage raw;
    TextShimError error;
    if (text_shim_extract_page(m_context.get(), m_document.get(), index, cookie, &raw, &error) != 0)
        return std::nullopt;
    return adoptShimPage(raw);
}
