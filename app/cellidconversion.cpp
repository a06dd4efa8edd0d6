#include "cellidconversion.h"

#include <cmath>
#include <limits>

namespace vusk {

namespace {
constexpr qsizetype cellKeyLength = 6;
}

std::optional<QString> cellIdToHex(const QString &cellIdText, const QLocale &locale)
{
    bool ok = false;
    const double number = locale.toDouble(cellIdText.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;

    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double whole = std::nearbyint(number);
    if (whole < double(std::numeric_limits<qint32>::min()) ||
        whole > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;

    const auto bits = static_cast<quint32>(static_cast<qint32>(whole));
    return QString::number(bits, 16).toUpper();
}

QString cellKeyFromHex(const QString &hexText)
{
    return (QStringLiteral("0x") + hexText).left(cellKeyLength);
}

} // namespace vusk
