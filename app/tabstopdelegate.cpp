#include "tabstopdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextOption>

namespace vusk {

void TabStopDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();

    const QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
    textOption.setWrapMode(QTextOption::NoWrap);
    textOption.setTabStopDistance(tabStopPixels);

    // The style paints the row's background in the inactive colours when the
    // window is not active; the text must follow it, or Windows' inactive
    // highlight leaves white text on a near-white row.
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                            : QPalette::Inactive;
    painter->save();
    painter->setClipRect(opt.rect);
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRectF(opt.rect.adjusted(textIndent, 0, 0, 0)), text, textOption);
    painter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    // Every row has the same height, so the view never has to measure entries.
    return {option.rect.width(), option.fontMetrics.height()};
}

QString TabStopDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    // An entry from a file may be a megabyte long; laying all of it out on every
    // paint, only to clip it to the row, stalls the window for seconds.
    QString text = value.toString();
    if (text.size() <= maxShownCharacters)
        return QStyledItemDelegate::displayText(value, locale);
    qsizetype shown = maxShownCharacters;
    if (text.at(shown - 1).isHighSurrogate())
        --shown;
    text.truncate(shown);
    return QStyledItemDelegate::displayText(text, locale);
}

} // namespace vusk
