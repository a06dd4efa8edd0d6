#include "platformstartup.h"

#ifdef Q_OS_WIN
#include <commctrl.h>
#include <qt_windows.h>
#endif

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vusk {

void initCommonControls()
{
#ifdef Q_OS_WIN
    InitCommonControls();
#endif
}

void installQtTranslations()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace vusk
