#include "cellentry.h"

#include <algorithm>

namespace vusk {

namespace {
constexpr QChar fieldSeparator = u'\t';
}

QString BuildCellEntry(const QString &key, const QString &channel, const QString &description)
{
    QString entry;
    entry.reserve(key.size() + channel.size() + description.size() + 2);
    entry += key;
    entry += fieldSeparator;
    entry += channel;
    entry += fieldSeparator;
    entry += description;
    return entry;
}

CellEntryFields SplitCellEntry(const QString &entry)
{
    CellEntryFields fields;
    const qsizetype firstTab = entry.indexOf(fieldSeparator);
    const QStringView view(entry);

    // A line without a tab still shows its start as the key and is its own remainder.
    const qsizetype keyEnd = firstTab < 0 ? entry.size() : firstTab;
    fields.key = view.first(std::min(keyEnd, cellKeyMaxLength)).toString();

    const QStringView remainder = firstTab < 0 ? view : view.sliced(firstTab + 1);
    const qsizetype secondTab = remainder.indexOf(fieldSeparator);
    if (secondTab < 0) {
        fields.description = remainder.toString();
    } else {
        fields.channel = remainder.first(secondTab).toString();
        fields.description = remainder.sliced(secondTab + 1).toString();
    }
    return fields;
}

} // namespace vusk
