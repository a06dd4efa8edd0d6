#include "readable.h"

#include <QTest>

namespace {

// Long texts are shown around their first difference, so that it is in view.
QString excerpt(const QString &text, qsizetype at)
{
    constexpr qsizetype room = 60;
    const qsizetype from = qMax<qsizetype>(0, at - room);
    QString shown = text.mid(from, 2 * room);
    shown.replace(u'\t', QStringLiteral("\\t")).replace(u'\r', QStringLiteral("\\r"));
    shown.replace(u'\n', QStringLiteral("\\n"));
    return (from > 0 ? QStringLiteral("…") : QString()) + shown +
           (from + 2 * room < text.size() ? QStringLiteral("…") : QString());
}

} // namespace

bool compareText(const char *what, const QString &actual, const QString &expected, const char *file,
                 int line)
{
    if (actual == expected)
        return true;
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual.at(at) == expected.at(at))
        ++at;
    const QString message = QStringLiteral("%1 differs from character %2 on (%3 against %4 "
                                           "characters)\n   Actual   : «%5»\n   Expected : «%6»")
                                .arg(QString::fromUtf8(what))
                                .arg(at + 1)
                                .arg(actual.size())
                                .arg(expected.size())
                                .arg(excerpt(actual, at), excerpt(expected, at));
    QTest::qFail(message.toUtf8().constData(), file, line);
    return false;
}

bool compareLines(const char *what, const QStringList &actual, const QStringList &expected,
                  const char *file, int line)
{
    for (qsizetype i = 0; i < qMax(actual.size(), expected.size()); ++i) {
        const QString seen = i < actual.size() ? actual.at(i) : QStringLiteral("(none)");
        const QString wanted = i < expected.size() ? expected.at(i) : QStringLiteral("(none)");
        if (seen != wanted)
            return compareText(QStringLiteral("%1, item %2 of %3 (expected %4 items),")
                                   .arg(QString::fromUtf8(what))
                                   .arg(i + 1)
                                   .arg(actual.size())
                                   .arg(expected.size())
                                   .toUtf8()
                                   .constData(),
                               seen, wanted, file, line);
    }
    return true;
}
