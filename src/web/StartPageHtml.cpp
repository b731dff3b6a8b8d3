#include "web/StartPageHtml.h"

#include "web/StartPageRules.h"

#include <algorithm>
#include <memory>
#include <vector>

using namespace startPageRules;

namespace {

// The source up to its sourceTags-th tag; the cut falls before a '<', so it
// never splits a character.
QByteArray boundedSource(const QByteArray &utf8)
{
    qsizetype at = -1;
    for (int tags = 0; tags < startPageLimits::sourceTags; ++tags) {
        at = utf8.indexOf('<', at + 1);
        if (at < 0)
            return utf8;
    }
    const qsizetype cut = utf8.indexOf('<', at + 1);
    return cut < 0 ? utf8 : utf8.left(cut);
}

class Writer {
public:
    QString write(const GumboNode *document);

private:
    struct Open {
        const GumboNode *node;
        unsigned nextChild = 0;
        Kind kind = Kind::Unwrap; // as written out; Unwrap when the tag was left off
        QString closing;
    };

    void enter(const GumboNode *node);
    void leave(const Open &open);
    void text(const GumboNode *node);
    // Cells Qt's grid of the table gains with this row or cell: every row is as
    // wide as the widest.
    int gridGrowth(Kind kind, int columns) const;
    bool admits(Kind kind, int columns, int growth) const;
    // False when the element lacks an attribute it cannot do without.
    bool openTag(const GumboNode *node, const Rule &rule, Open &open);
    Kind innermost() const { return m_written.empty() ? Kind::Block : m_written.back().kind; }
    // Text straight inside a table, row or list has no place in Qt's model of it.
    bool holdsText() const
    {
        const Kind inside = innermost();
        return inside != Kind::Table && inside != Kind::Row && inside != Kind::List;
    }
    // How many elements of this kind are written and still open.
    int openCount(Kind kind) const
    {
        return int(std::count_if(m_written.begin(), m_written.end(),
                                 [kind](const Written &written) { return written.kind == kind; }));
    }

    QString m_out;
    std::vector<Open> m_stack;
    struct Written {
        Kind kind;
        int used = 0;    // rows of a table, columns of a row
        int columns = 0; // of a table: its widest row
    };
    std::vector<Written> m_written; // the elements written and still open
    int m_elements = 0;
    int m_cells = 0; // in the grids of all tables
    int m_textLeft = startPageLimits::textCharacters;
};

QString Writer::write(const GumboNode *document)
{
    m_out = QStringLiteral("<html><body>");
    m_stack.push_back({document});
    // An explicit stack: a hostile page nests far deeper than the C++ stack allows.
    while (!m_stack.empty() && m_textLeft > 0) {
        Open &top = m_stack.back();
        const GumboVector &children = top.node->type == GUMBO_NODE_DOCUMENT
                                          ? top.node->v.document.children
                                          : top.node->v.element.children;
        if (top.nextChild < children.length) {
            enter(static_cast<const GumboNode *>(children.data[top.nextChild++]));
        } else {
            const Open done = top;
            m_stack.pop_back();
            leave(done);
        }
    }
    // Cut short by the text limit: close what is still open.
    while (!m_stack.empty()) {
        const Open done = m_stack.back();
        m_stack.pop_back();
        leave(done);
    }
    m_out += QStringLiteral("</body></html>");
    return m_out;
}

void Writer::enter(const GumboNode *node)
{
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE
        || node->type == GUMBO_NODE_CDATA) {
        text(node);
        return;
    }
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
        return;
    const Rule rule = ruleFor(node);
    if (rule.kind == Kind::Drop)
        return;
    if (rule.kind == Kind::Void) {
        if (admits(Kind::Void, 0, 0)) {
            Open ignored{node};
            openTag(node, rule, ignored);
        }
        return;
    }
    Open open{node};
    const int columns = rule.kind == Kind::Cell ? columnSpan(node) : 0;
    const int growth = gridGrowth(rule.kind, columns);
    const bool written = rule.kind != Kind::Unwrap && admits(rule.kind, columns, growth)
                         && openTag(node, rule, open);
    if (written && (rule.kind == Kind::Row || rule.kind == Kind::Cell)) {
        Written &parent = m_written[m_written.size() - 2];
        parent.used += std::max(columns, 1);
        m_cells += growth;
        if (rule.kind == Kind::Cell) {
            Written &table = m_written[m_written.size() - 3];
            table.columns = std::max(table.columns, parent.used);
        }
    }
    if (!written && rule.kind != Kind::Inline && rule.kind != Kind::Unwrap && holdsText())
        m_out += QLatin1Char(' '); // keeps the words of a left-off cell or block apart
    m_stack.push_back(open);
}

void Writer::leave(const Open &open)
{
    if (open.kind == Kind::Unwrap)
        return;
    m_out += open.closing;
    m_written.pop_back();
}

void Writer::text(const GumboNode *node)
{
    if (!holdsText())
        return;
    QString content = QString::fromUtf8(node->v.text.text);
    if (content.size() > m_textLeft)
        content.truncate(m_textLeft);
    m_textLeft -= int(content.size());
    m_out += content.toHtmlEscaped();
}

int Writer::gridGrowth(Kind kind, int columns) const
{
    if (kind == Kind::Row && innermost() == Kind::Table)
        return m_written.back().columns;
    if (kind != Kind::Cell || innermost() != Kind::Row)
        return 0;
    const Written &row = m_written.back();
    const Written &table = m_written[m_written.size() - 2];
    return table.used * std::max(0, row.used + columns - table.columns);
}

bool Writer::admits(Kind kind, int columns, int growth) const
{
    if (m_elements >= startPageLimits::elements)
        return false;
    if (int(m_written.size()) >= startPageLimits::depth)
        return false;
    const Kind inside = innermost();
    switch (kind) {
    case Kind::Row:
        return inside == Kind::Table && m_written.back().used < startPageLimits::tableRows
               && m_cells + growth <= startPageLimits::tableCells;
    case Kind::Cell:
        return inside == Kind::Row
               && m_written.back().used + columns <= startPageLimits::tableColumns
               && m_cells + growth <= startPageLimits::tableCells;
    case Kind::Item:
        return inside == Kind::List;
    default:
        break;
    }
    if (!holdsText())
        return false;
    if (kind == Kind::Table)
        return openCount(Kind::Table) < startPageLimits::tableNesting;
    if (kind == Kind::List)
        return openCount(Kind::List) < startPageLimits::listNesting;
    return true;
}

bool Writer::openTag(const GumboNode *node, const Rule &rule, Open &open)
{
    struct Kept {
        const Attribute *rule;
        QString value;
    };
    std::vector<Kept> kept;
    const GumboVector &attributes = node->v.element.attributes;
    for (const Attribute &allowed : rule.attributes) {
        const GumboAttribute *attribute = gumbo_get_attribute(&attributes, allowed.name);
        const QString value =
            attribute ? allowedValue(allowed.value, QString::fromUtf8(attribute->value)) : QString();
        if (!value.isEmpty())
            kept.push_back({&allowed, value});
    }
    if (rule.required
        && std::none_of(kept.begin(), kept.end(),
                        [&rule](const Kept &k) { return qstrcmp(k.rule->name, rule.required) == 0; }))
        return false;
    // Only width and height together: from one of them Qt makes a negative height
    // while the image is not there.
    const auto isPixels = [](const Kept &k) { return k.rule->value == Value::Pixels; };
    if (std::count_if(kept.begin(), kept.end(), isPixels) == 1)
        kept.erase(std::remove_if(kept.begin(), kept.end(), isPixels), kept.end());

    QString attributesText;
    for (const Kept &k : kept)
        attributesText += QLatin1Char(' ') + QLatin1String(k.rule->name) + QStringLiteral("=\"")
                          + k.value.toHtmlEscaped() + QLatin1Char('"');
    const QString name = QLatin1String(rule.name ? rule.name
                                                 : gumbo_normalized_tagname(node->v.element.tag));
    m_out += QLatin1Char('<') + name + attributesText + QLatin1Char('>');
    ++m_elements;
    if (rule.kind == Kind::Void)
        return true;
    open.kind = rule.kind;
    open.closing = QStringLiteral("</") + name + QLatin1Char('>');
    m_written.push_back({rule.kind});
    return true;
}

} // namespace

std::optional<QString> startPageHtml(const QString &html)
{
    const QByteArray source = boundedSource(html.toUtf8());
    const std::unique_ptr<BudgetedParse, decltype(&budgeted_parse_free)> parse(
        budgeted_parse(source.constData(), size_t(source.size()), startPageLimits::parserBytes),
        &budgeted_parse_free);
    if (!parse)
        return std::nullopt;
    return Writer().write(budgeted_parse_document(parse.get()));
}
