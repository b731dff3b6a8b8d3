#include "ui/TypedPage.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {
std::optional<double> readNumber(const QString &trimmed)
{
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok) // the C notation is always understood too ("3.5" under a comma locale)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

std::optional<qint32> parseTypedPage(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const std::optional<double> number = readNumber(trimmed);
    if (!number)
        return std::nullopt;
    const double floored = std::floor(*number);
    if (floored < double(std::numeric_limits<qint32>::min())
        || floored > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(floored);
}
