#include "layoutchecks.h"

#include <QLabel>
#include <QTest>

void verifyFitsText(const QLabel *label)
{
    const QSize needed = label->wordWrap()
                             ? QSize(label->width(), label->heightForWidth(label->width()))
                             : label->fontMetrics().boundingRect(label->text()).size();
    QVERIFY2(label->width() >= needed.width() && label->height() >= needed.height(),
             qPrintable(QStringLiteral("%1 %2x%3 needs %4x%5")
                            .arg(label->objectName())
                            .arg(label->width())
                            .arg(label->height())
                            .arg(needed.width())
                            .arg(needed.height())));
}
