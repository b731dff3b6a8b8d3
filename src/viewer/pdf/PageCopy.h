#pragma once
// Writes the chosen pages of a document, as they are (vector, with their fonts
// and text), to a new PDF file: what printing hands the spooler or writes as
// the printed file. Runs on the print job's thread.

#include <QString>

#include <functional>
#include <vector>

class PdfDocument;

// Pages are 0-based and may repeat. keepGoing is told how many pages are
// copied so far and stops the copy when it answers false. True when the
// whole file is written.
bool writePageCopy(PdfDocument &document, const std::vector<int> &pages, const QString &path,
                   const std::function<bool(int copied)> &keepGoing);
