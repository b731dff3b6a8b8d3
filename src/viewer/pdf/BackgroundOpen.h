#pragma once
// Opens a document on a thread of its own, so a file on a slow or hung mount never
// freezes the window: a quick open is simply waited for; a slow one shows a
// progress dialog, and giving up there stops the thread reading pages (what it
// cannot stop, a read that hangs, finishes unseen).

#include "PdfDocument.h"

class ModalUi;
class QWidget;

// Status ViewerControl::Cancelled when the user gave up.
PdfDocument::Opened openWithoutFreezing(const QString &path, const QString &userPassword,
                                        const QString &ownerPassword, ModalUi &ui,
                                        QWidget *parent);

// Starts opening the document the program was started with before the window
// exists, so the open runs beside Qt's own start-up. The next openWithoutFreezing
// takes it over when it asks for the same path without passwords, and otherwise
// drops it: it stops reading and is freed on its own thread. Call it on the thread
// that opens documents; an empty path starts nothing.
void openEarly(const QString &path);
