// Any bytes as a start page: what reaches Qt holds only the elements and
// attributes meant to pass, stays within the nesting, element and table-cell limits, keeps
// links and images to web addresses, and Qt lays it out.
#include "web/StartPageHtml.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <gumbo.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {
void require(bool condition)
{
    if (!condition)
        abort();
}

const QSet<QString> writtenElements = {
    "html", "head", "body", "tbody", // added by the parser that reads the result back
    "p", "div", "center", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote", "pre", "dl", "dt",
    "dd", "a", "font", "b", "strong", "i", "em", "u", "s", "strike", "small", "big", "sub",
    "sup", "code", "tt", "kbd", "br", "hr", "img", "table", "tr", "td", "th", "ul", "ol", "li"};
const QSet<QString> writtenAttributes = {
    "href", "name", "src", "alt", "width", "height", "border", "cellspacing", "cellpadding",
    "align", "valign", "bgcolor", "colspan", "color", "size"};

bool isWebOrRelative(const QString &address)
{
    const QString scheme = QUrl(address).scheme().toLower();
    return scheme.isEmpty() || scheme == "http" || scheme == "https";
}

void checkAttributes(const GumboElement &element)
{
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto *attribute = static_cast<const GumboAttribute *>(element.attributes.data[i]);
        const QString name = QString::fromUtf8(attribute->name);
        const QString value = QString::fromUtf8(attribute->value);
        require(writtenAttributes.contains(name));
        if (name == "href")
            require(value.startsWith('#') || isWebOrRelative(value));
        if (name == "src")
            require(value.startsWith("data:image/", Qt::CaseInsensitive) || isWebOrRelative(value));
    }
}

// Walks the result as an HTML5 parser reads it back.
void checkTree(const GumboNode *root)
{
    struct Entry {
        const GumboNode *node;
        int depth, tables, lists;
    };
    std::vector<Entry> pending{{root, 0, 0, 0}};
    int elements = 0;
    while (!pending.empty()) {
        const Entry entry = pending.back();
        pending.pop_back();
        if (entry.node->type != GUMBO_NODE_ELEMENT && entry.node->type != GUMBO_NODE_DOCUMENT)
            continue;
        int depth = entry.depth, tables = entry.tables, lists = entry.lists;
        const GumboVector *children = &entry.node->v.document.children;
        if (entry.node->type == GUMBO_NODE_ELEMENT) {
            const GumboElement &element = entry.node->v.element;
            const QString name = QString::fromUtf8(gumbo_normalized_tagname(element.tag));
            require(element.tag_namespace == GUMBO_NAMESPACE_HTML);
            require(writtenElements.contains(name));
            checkAttributes(element);
            const bool added = name == "html" || name == "head" || name == "body" || name == "tbody";
            if (!added) {
                ++elements;
                ++depth;
            }
            tables += name == "table";
            lists += name == "ul" || name == "ol";
            children = &element.children;
        }
        require(depth <= startPageLimits::depth);
        require(tables <= startPageLimits::tableNesting);
        require(lists <= startPageLimits::listNesting);
        for (unsigned i = 0; i < children->length; ++i)
            pending.push_back({static_cast<const GumboNode *>(children->data[i]), depth, tables, lists});
    }
    require(elements <= startPageLimits::elements);
}
// Qt builds every table as a full grid of its rows by its widest row.
void checkTableGrids(QTextDocument &document)
{
    int cells = 0;
    std::vector<QTextFrame *> frames{document.rootFrame()};
    while (!frames.empty()) {
        QTextFrame *frame = frames.back();
        frames.pop_back();
        if (const auto *table = qobject_cast<QTextTable *>(frame))
            cells += table->rows() * table->columns();
        const QList<QTextFrame *> inside = frame->childFrames();
        frames.insert(frames.end(), inside.begin(), inside.end());
    }
    require(cells <= startPageLimits::tableCells);
}

// Images are the pane's affair; here they must not be read from disk.
class PageWithoutResources : public QTextDocument {
protected:
    QVariant loadResource(int, const QUrl &) override { return QImage(); }
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QGuiApplication application(*argc, *argv); // fonts for the layout
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> html = startPageHtml(page);
    if (!html)
        return 0;
    const QByteArray utf8 = html->toUtf8();
    GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(),
                                                   size_t(utf8.size()));
    checkTree(output->document);
    gumbo_destroy_output(&kGumboDefaultOptions, output);

    PageWithoutResources document;
    document.setTextWidth(600);
    document.setHtml(*html);
    checkTableGrids(document);
    require(document.documentLayout()->documentSize().height() >= 0);
    return 0;
}
