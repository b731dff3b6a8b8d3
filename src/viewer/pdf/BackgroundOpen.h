#pragma once
// Opens a document on a thread of its own, so a file on a slow or hung mount never
// freezes the window. A quick open is simply waited for; a slow one is a job the
// caller waits for, and cancelling it stops the thread reading pages (what it
// cannot stop, a read that hangs, finishes unseen).

#include "EngineJob.h"
#include "PdfDocument.h"

#include <memory>

// The job's answer is the open's status (a ViewerControl::OpenStatus), its
// result the document. An open that ends within a moment has finished when
// this returns. Never null: with no thread to open on it has finished with
// ViewerControl::CannotOpen.
using OpenJob = EngineJob<PdfDocument::Opened>;
std::shared_ptr<OpenJob> beginOpening(const QString &path, const QString &userPassword,
                                      const QString &ownerPassword);

// Starts opening the document the program was started with before the window
// exists, so the open runs beside Qt's own start-up. The next beginOpening takes
// it over when it asks for the same path without passwords, and otherwise drops
// it: it stops reading and is freed on its own thread. Call it on the thread
// that opens documents; an empty path starts nothing.
void openEarly(const QString &path);
