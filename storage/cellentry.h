#pragma once

#include <QString>

#include <optional>

namespace vusk {

// Longest key that splitting an entry gives back: "0x" and four hex digits.
inline constexpr qsizetype cellKeyMaxLength = 6;

struct CellEntryFields
{
    QString key;
    // Empty when the entry has two adjacent tabs; nullopt when no channel could be
    // taken at all, which tells the editor to leave its channel box alone.
    std::optional<QString> channel;
    QString description;
};

// Joins the three fields with single tabs, verbatim: no trimming, no checks.
QString BuildCellEntry(const QString &key, const QString &channel, const QString &description);

// Splits any line, well-formed or not; never fails.
CellEntryFields SplitCellEntry(const QString &entry);

} // namespace vusk
