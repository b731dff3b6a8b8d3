#include "web/StartPageHtml.h"

#include "web/gumbo_budget.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

enum class Kind {
    Block,
    Inline,
    Void,   // no content and no closing tag
    Table,
    Row,
    Cell,
    List,
    Item,
    Unwrap, // the tag goes, its content stays
    Drop,   // the tag goes with all its content
};

enum class Value {
    Link,        // http, https, relative or a fragment
    ImageSource, // http, https, relative or an inline image
    AnchorName,
    Text,
    Align,
    VAlign,
    Colour,
    Pixels,      // an image's width or height
    Length,      // a table's or cell's width, in pixels or per cent
    Spacing,     // border, cellspacing, cellpadding
    Span,        // colspan, rowspan
    FontSize,
};

struct Attribute {
    const char *name;
    Value value;
};

struct Rule {
    Kind kind;
    const char *name = nullptr; // written out; by default gumbo's name of the tag
    std::vector<Attribute> attributes = {};
    const char *required = nullptr; // the element is left off without this attribute
};

// Qt lays a table out on a grid of every row by every column, spans included.
constexpr int maxSpan = 8;

const std::vector<Attribute> alignOnly = {{"align", Value::Align}};
const std::vector<Attribute> cellAttributes = {
    {"colspan", Value::Span},   {"rowspan", Value::Span},  {"width", Value::Length},
    {"align", Value::Align},    {"valign", Value::VAlign}, {"bgcolor", Value::Colour}};

Rule ruleFor(const GumboNode *node)
{
    if (node->type == GUMBO_NODE_TEMPLATE
        || node->v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return {Kind::Drop};
    switch (node->v.element.tag) {
    case GUMBO_TAG_P:
    case GUMBO_TAG_DIV:
    case GUMBO_TAG_CENTER:
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
        return {Kind::Block, nullptr, alignOnly};
    case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_PRE:
    case GUMBO_TAG_DL:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_DD:
        return {Kind::Block};
    case GUMBO_TAG_ARTICLE:
    case GUMBO_TAG_SECTION:
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_HEADER:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_MAIN:
    case GUMBO_TAG_ADDRESS:
    case GUMBO_TAG_FIGURE:
    case GUMBO_TAG_FIGCAPTION:
    case GUMBO_TAG_CAPTION:
        return {Kind::Block, "div"};
    case GUMBO_TAG_A:
        return {Kind::Inline, nullptr, {{"href", Value::Link}, {"name", Value::AnchorName}}};
    case GUMBO_TAG_FONT:
        return {Kind::Inline, nullptr, {{"color", Value::Colour}, {"size", Value::FontSize}}};
    case GUMBO_TAG_B:
    case GUMBO_TAG_STRONG:
    case GUMBO_TAG_I:
    case GUMBO_TAG_EM:
    case GUMBO_TAG_U:
    case GUMBO_TAG_S:
    case GUMBO_TAG_STRIKE:
    case GUMBO_TAG_SMALL:
    case GUMBO_TAG_BIG:
    case GUMBO_TAG_SUB:
    case GUMBO_TAG_SUP:
    case GUMBO_TAG_CODE:
    case GUMBO_TAG_TT:
    case GUMBO_TAG_KBD:
        return {Kind::Inline};
    case GUMBO_TAG_BR:
    case GUMBO_TAG_HR:
        return {Kind::Void};
    case GUMBO_TAG_IMG:
        return {Kind::Void, nullptr,
                {{"src", Value::ImageSource}, {"alt", Value::Text},
                 {"width", Value::Pixels}, {"height", Value::Pixels}},
                "src"};
    case GUMBO_TAG_TABLE:
        return {Kind::Table, nullptr,
                {{"border", Value::Spacing}, {"cellspacing", Value::Spacing},
                 {"cellpadding", Value::Spacing}, {"width", Value::Length},
                 {"align", Value::Align}, {"bgcolor", Value::Colour}}};
    case GUMBO_TAG_TR:
        return {Kind::Row, nullptr,
                {{"align", Value::Align}, {"valign", Value::VAlign}, {"bgcolor", Value::Colour}}};
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
        return {Kind::Cell, nullptr, cellAttributes};
    case GUMBO_TAG_UL:
    case GUMBO_TAG_OL:
        return {Kind::List};
    case GUMBO_TAG_LI:
        return {Kind::Item};
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_APPLET:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_MAP:
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_FRAMESET:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_DATALIST:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_COLGROUP:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_RP:
    case GUMBO_TAG_RT:
        return {Kind::Drop};
    default:
        return {Kind::Unwrap};
    }
}

bool isOneOf(const QString &value, std::initializer_list<const char *> words)
{
    for (const char *word : words)
        if (value == QLatin1String(word))
            return true;
    return false;
}

bool isWebOrRelative(const QString &value)
{
    const QUrl url(value);
    const QString scheme = url.scheme().toLower();
    return url.isValid()
           && (scheme.isEmpty() || scheme == QLatin1String("http")
               || scheme == QLatin1String("https"));
}

// Leading decimal digits, as browsers read "100px"; -1 when there are none.
int leadingNumber(const QString &value)
{
    static const QRegularExpression digits(QStringLiteral("^(\\d{1,6})"));
    const QRegularExpressionMatch match = digits.match(value);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString clampedNumber(const QString &value, int lowest, int highest)
{
    const int number = leadingNumber(value);
    return number < 0 ? QString() : QString::number(std::clamp(number, lowest, highest));
}

// The attribute's value as written out, or empty to leave the attribute off.
QString allowedValue(Value kind, const QString &raw)
{
    const QString value = raw.trimmed();
    const QString lower = value.toLower();
    switch (kind) {
    case Value::Link:
        return value.size() <= 2048 && (value.startsWith(QLatin1Char('#')) || isWebOrRelative(value))
                   ? value
                   : QString();
    case Value::ImageSource:
        if (lower.startsWith(QLatin1String("data:")))
            return lower.startsWith(QLatin1String("data:image/"))
                           && value.size() <= startPageLimits::dataImageCharacters
                       ? value
                       : QString();
        return value.size() <= 2048 && isWebOrRelative(value) ? value : QString();
    case Value::AnchorName: {
        static const QRegularExpression name(QStringLiteral("^[\\w.:-]{1,64}$"));
        return name.match(value).hasMatch() ? value : QString();
    }
    case Value::Text:
        return value.left(256);
    case Value::Align:
        return isOneOf(lower, {"left", "center", "right", "justify"}) ? lower : QString();
    case Value::VAlign:
        return isOneOf(lower, {"top", "middle", "bottom", "baseline"}) ? lower : QString();
    case Value::Colour: {
        static const QRegularExpression colour(
            QStringLiteral("^(#[0-9a-f]{3}|#[0-9a-f]{6}|[a-z]{1,20})$"));
        return colour.match(lower).hasMatch() ? lower : QString();
    }
    case Value::Pixels:
        return clampedNumber(value, 1, 2000);
    case Value::Length: {
        const int number = leadingNumber(value);
        if (number < 0)
            return QString();
        return value.endsWith(QLatin1Char('%')) ? QString::number(std::min(number, 100)) + '%'
                                                : QString::number(std::min(number, 4000));
    }
    case Value::Spacing:
        return clampedNumber(value, 0, 20);
    case Value::Span:
        return clampedNumber(value, 1, maxSpan);
    case Value::FontSize: {
        static const QRegularExpression size(QStringLiteral("^[+-]?[1-7]$"));
        return size.match(value).hasMatch() ? value : QString();
    }
    }
    return QString();
}

// A cell's colspan as it is written out.
int spanOf(const GumboNode *node, const char *name)
{
    const GumboAttribute *attribute = gumbo_get_attribute(&node->v.element.attributes, name);
    const QString value =
        attribute ? allowedValue(Value::Span, QString::fromUtf8(attribute->value)) : QString();
    return value.isEmpty() ? 1 : value.toInt();
}

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
    bool admits(Kind kind, int columns) const;
    // False when the element lacks an attribute it cannot do without.
    bool openTag(const GumboNode *node, const Rule &rule, Open &open);
    Kind innermost() const { return m_written.empty() ? Kind::Block : m_written.back().kind; }
    // Text straight inside a table, row or list has no place in Qt's model of it.
    bool holdsText() const
    {
        const Kind inside = innermost();
        return inside != Kind::Table && inside != Kind::Row && inside != Kind::List;
    }

    QString m_out;
    std::vector<Open> m_stack;
    struct Written {
        Kind kind;
        int used = 0; // rows of a table, columns of a row
    };
    std::vector<Written> m_written; // the elements written and still open
    int m_elements = 0;
    int m_tables = 0;
    int m_lists = 0;
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
        if (admits(Kind::Void, 0)) {
            Open ignored{node};
            openTag(node, rule, ignored);
        }
        return;
    }
    Open open{node};
    const int columns = rule.kind == Kind::Cell ? spanOf(node, "colspan") : 0;
    const bool written =
        rule.kind != Kind::Unwrap && admits(rule.kind, columns) && openTag(node, rule, open);
    if (written && (rule.kind == Kind::Row || rule.kind == Kind::Cell))
        m_written[m_written.size() - 2].used += std::max(columns, 1);
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
    if (open.kind == Kind::Table)
        --m_tables;
    else if (open.kind == Kind::List)
        --m_lists;
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

bool Writer::admits(Kind kind, int columns) const
{
    if (m_elements >= startPageLimits::elements)
        return false;
    if (int(m_written.size()) >= startPageLimits::depth)
        return false;
    const Kind inside = innermost();
    switch (kind) {
    case Kind::Row:
        return inside == Kind::Table && m_written.back().used < startPageLimits::tableRows;
    case Kind::Cell:
        return inside == Kind::Row
               && m_written.back().used + columns <= startPageLimits::tableColumns;
    case Kind::Item:
        return inside == Kind::List;
    default:
        break;
    }
    if (!holdsText())
        return false;
    if (kind == Kind::Table)
        return m_tables < startPageLimits::tableNesting;
    if (kind == Kind::List)
        return m_lists < startPageLimits::listNesting;
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
    if (rule.kind == Kind::Table)
        ++m_tables;
    else if (rule.kind == Kind::List)
        ++m_lists;
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
