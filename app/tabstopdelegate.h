#pragma once

#include <QStyledItemDelegate>

namespace vusk {

// Draws an entry's tabs as column breaks at fixed stops, the way the cell list
// lines up key, channel and description under the column captions.
class TabStopDelegate : public QStyledItemDelegate
{
public:
    static constexpr int tabStopPixels = 48;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QString displayText(const QVariant &value, const QLocale &locale) const override;

    // Where the text of a row starts, relative to the row's left edge.
    static constexpr int textIndent = 2;
    // Far more characters than a row of the list can show, even at one pixel each.
    static constexpr qsizetype maxShownCharacters = 1024;
};

} // namespace vusk
