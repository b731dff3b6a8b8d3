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
