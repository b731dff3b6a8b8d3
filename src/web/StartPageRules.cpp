#include "web/StartPageRules.h"

#include "web/StartPageHtml.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace startPageRules {

namespace {

// Qt lays a table out on a grid of every row by every column, spans included.
constexpr int maxSpan = 8;

const std::vector<Attribute> alignOnly = {{"align", Value::Align}};
// No rowspan: cells spanning rows push the next rows' cells to the right, so
// the grid Qt builds could not be bounded from the rows as written.
const std::vector<Attribute> cellAttributes = {
    {"colspan", Value::Span}, {"width", Value::Length},  {"align", Value::Align},
    {"valign", Value::VAlign}, {"bgcolor", Value::Colour}};

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

} // namespace

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

int columnSpan(const GumboNode *node)
{
    const GumboAttribute *attribute = gumbo_get_attribute(&node->v.element.attributes, "colspan");
    const QString value =
        attribute ? allowedValue(Value::Span, QString::fromUtf8(attribute->value)) : QString();
    return value.isEmpty() ? 1 : value.toInt();
}

} // namespace startPageRules
