#include "platformstartup.h"

// Q_OS_WIN comes from Qt's own headers, so they go first; commctrl.h needs the
// types that windows.h declares.
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#ifdef Q_OS_WIN
#include <windows.h>

#include <commctrl.h>
#endif

namespace vusk {

void initCommonControls()
{
#ifdef Q_OS_WIN
    InitCommonControls();
#endif
}

void installQtTranslations()
{
    // The Windows build carries Qt's translations inside the program; elsewhere
    // they come with the system's Qt.
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QLocale locale;
    const QString name = QStringLiteral("qtbase");
    const QString prefix = QStringLiteral("_");
    if (translator->load(locale, name, prefix, QStringLiteral(":/i18n")) ||
        translator->load(locale, name, prefix, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace vusk
