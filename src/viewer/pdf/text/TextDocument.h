#pragma once
// The text layer's own MuPDF context and document. Created, used and destroyed on
// one thread (the index worker), so it never shares the renderer's document lock.

#include "viewer/pdf/text/PageText.h"

#include <QString>

#include <memory>
#include <optional>

#include <mupdf/fitz.h>

class TextDocument {
public:
    enum class OpenResult { Opened, Failed, WrongPassword };

    // Tries the user password, then the owner password. Null unless Opened.
    static std::unique_ptr<TextDocument> open(const QString &path, const QString &userPassword,
                                              const QString &ownerPassword, OpenResult *result);

    int pageCount() const; // -1 when the page tree cannot be read

    // index is 0-based. Setting cookie->abort from another thread makes it return
    // early with nullopt; nullopt also when the page cannot be read.
    std::optional<PageText> extractPage(int index, fz_cookie *cookie) const;

private:
    struct ContextDeleter {
        void operator()(fz_context *ctx) const { fz_drop_context(ctx); }
    };
    struct DocumentDeleter {
        fz_context *ctx;
        void operator()(fz_document *doc) const { fz_drop_document(ctx, doc); }
    };
    using ContextPtr = std::unique_ptr<fz_context, ContextDeleter>;
    using DocumentPtr = std::unique_ptr<fz_document, DocumentDeleter>;

    TextDocument(ContextPtr context, DocumentPtr document);

    // Declared in this order so the document is dropped before its context.
    ContextPtr m_context;
    DocumentPtr m_document;
};
