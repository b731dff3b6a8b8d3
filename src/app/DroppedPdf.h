#pragma once
// A drop opens a document only when it carries exactly one local PDF file.

#include <QString>

class QMimeData;

// The path of the dropped PDF, or "" when the drop is anything else.
QString droppedPdfPath(const QMimeData *data);
