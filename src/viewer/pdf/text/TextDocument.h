#pragma once
// The text layer's own handle on the document, with a context of its own. Created,
// used and destroyed on one thread (the index worker), so it never shares the
// renderer's document lock. Opens PDF files only, whatever the file is named,
// and reads the version of the file the viewer shows, never the path again.

#include "viewer/pdf/FileVersion.h"
#include "viewer/pdf/shim/shim_engine.h"
#include "viewer/pdf/text/PageText.h"

#include <QString>

#include <memory>
#include <optional>

class TextDocument {
public:
    enum class OpenResult { Opened, Failed, WrongPassword };

    // Tries the user password, then the owner password. Null unless Opened.
    static std::unique_ptr<TextDocument> open(std::shared_ptr<const FileVersion> version,
                                              const QString &userPassword,
                                              const QString &ownerPassword, OpenResult *result);
    // Reads the path's current version first (FileVersion::read).
    static std::unique_ptr<TextDocument> open(const QString &path, const QString &userPassword,
                                              const QString &ownerPassword, OpenResult *result);
    ~TextDocument();
    TextDocument(const TextDocument &) = delete;
    TextDocument &operator=(const TextDocument &) = delete;

    int pageCount() const { return m_pageCount; }

    // index is 0-based. An abort raised on the cookie (from any thread) makes it
    // return early with nullopt; nullopt also when the page cannot be read. A page
    // past the page time limit gives nullopt and leaves the cookie usable.
    std::optional<PageText> extractPage(int index, vshim_cookie *cookie) const;

private:
    TextDocument(std::shared_ptr<const FileVersion> version, fz_context *context,
                 fz_document *document, int pageCount);

    std::shared_ptr<const FileVersion> m_version; // read by m_document: outlives it
    fz_context *m_context;
    fz_document *m_document;
    int m_pageCount;
};
