#pragma once
// The start page as QTextBrowser may see it. The fetched HTML is parsed by a
// real HTML5 parser and written out again as a small, well-formed page: only a
// short list of elements and attributes survives, nesting and the number of
// elements are bounded, and text is escaped. Qt's own HTML reader and layout
// take quadratic time or crash on deep tables and lists; they never see more
// than this.

#include <QString>

#include <optional>

namespace startPageLimits {
// Tags read from the source; the rest of a page is cut off before parsing,
// because the parser's own work grows with the square of the nesting.
constexpr int sourceTags = 4000;
// Memory the parser may take for one page; misnested tags make it copy elements.
constexpr size_t parserBytes = 64 * 1024 * 1024;
constexpr int depth = 12;        // elements inside one another
constexpr int tableNesting = 2;  // tables inside tables
constexpr int listNesting = 4;   // lists inside lists
constexpr int tableRows = 64;    // in one table
constexpr int tableColumns = 24; // in one row, spans counted
// In the grids of all tables of the page, every row as wide as the widest: Qt
// lays a table out several times over, and a nested one again for each pass of
// the table around it.
constexpr int tableCells = 256;
constexpr int elements = 2000;
constexpr int textCharacters = 100000;
constexpr int dataImageCharacters = 1024 * 1024; // an inline image's whole src
} // namespace startPageLimits

// Nothing when the page cannot be parsed within the limits.
std::optional<QString> startPageHtml(const QString &html);
