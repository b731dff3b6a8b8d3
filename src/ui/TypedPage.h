#pragma once
// Reads a page number typed by the user: a decimal number in the locale's notation
// (sign, fraction and exponent allowed, blanks around ignored), floored to a 32-bit
// integer. Anything else, or a result outside the 32-bit range, gives nothing.

#include <QString>
#include <optional>

std::optional<qint32> parseTypedPage(const QString &text);
