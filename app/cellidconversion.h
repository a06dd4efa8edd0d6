#pragma once

#include <QLocale>
#include <QString>
#include <optional>

namespace vusk {

// The hexadecimal text of a cell ID typed in decimal: upper-case digits, no
// leading zeros, negatives as 32-bit two's complement. Accepts what the locale's
// number conversion accepts, blanks around included; a fraction goes to the
// nearest whole number, halves to the even one. Nothing for an empty text, a
// text that is no number, or a number outside the 32-bit signed range.
std::optional<QString> cellIdToHex(const QString &cellIdText, const QLocale &locale = QLocale());

// "0x" and the hex text, kept to "0x" plus the four highest-order digits.
QString cellKeyFromHex(const QString &hexText);

} // namespace vusk
