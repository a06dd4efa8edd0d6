#pragma once

#include <QString>
#include <QStringList>

// Failures a person can read (Qt's print Cyrillic as \u escapes and cut long values): each
// names what was compared and prints both values as text; lists are compared item by item.
bool compareText(const char *what, const QString &actual, const QString &expected, const char *file,
                 int line);
bool compareLines(const char *what, const QStringList &actual, const QStringList &expected,
                  const char *file, int line);

#define COMPARE_TEXT(what, actual, expected)                                                       \
    do {                                                                                           \
        if (!compareText(what, actual, expected, __FILE__, __LINE__))                              \
            return;                                                                                \
    } while (false)

#define COMPARE_LINES(what, actual, expected)                                                      \
    do {                                                                                           \
        if (!compareLines(what, actual, expected, __FILE__, __LINE__))                             \
            return;                                                                                \
    } while (false)
