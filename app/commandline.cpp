#include "commandline.h"

#include "frmmain.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>

namespace vusk {

namespace {

// The command line speaks Russian where Qt's own texts in the window do, and
// otherwise English, as the manual page does.
struct Texts
{
    QString usage, description, unknownOption, moreHelp;
};

const Texts &texts()
{
    static const Texts english{
        QStringLiteral("Usage: vusk [OPTION...] [FILE...]\n"),
        QStringLiteral("Edit the GSM cell list file of a phone's location plug-in.\n\n"
                       "Each FILE is opened in turn once the window is shown, as \"Открыть\"\n"
                       "(Open) opens a file: its lines, at most 2000, are added to the list.\n\n"
                       "  -h, --help     show this help and exit\n"
                       "  -v, --version  show the version and exit\n"),
        QStringLiteral("unknown option '%1'"),
        QStringLiteral("Try 'vusk --help' for more information.\n"),
    };
    static const Texts russian{
        QStringLiteral("Использование: vusk [ПАРАМЕТР...] [ФАЙЛ...]\n"),
        QStringLiteral("Редактор файла с адресами вышек оператора сотовой связи.\n\n"
                       "Каждый ФАЙЛ по очереди открывается в показанном окне, как по команде\n"
                       "«Открыть»: его строки, не более 2000, добавляются в список.\n\n"
                       "  -h, --help     показать эту справку и выйти\n"
                       "  -v, --version  показать версию и выйти\n"),
        QStringLiteral("неизвестный параметр «%1»"),
        QStringLiteral("Подробнее: vusk --help\n"),
    };
    const QString language = QLocale().uiLanguages().value(0);
    return QLocale(language).language() == QLocale::Russian ? russian : english;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const Texts &words = texts();
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});

    CommandLine commandLine;
    if (!parser.parse(arguments)) {
        // Qt's words for the rarer mistakes, such as a value after --help.
        QString reason = parser.errorText();
        if (const QString name = parser.unknownOptionNames().value(0); !name.isEmpty())
            reason = words.unknownOption.arg(
                (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
        commandLine.errors =
            QStringLiteral("vusk: ") + reason + u'\n' + words.usage + words.moreHelp;
        commandLine.exitCode = 2;
    } else if (parser.isSet(help)) {
        commandLine.output = words.usage + words.description;
        commandLine.exitCode = 0;
    } else if (parser.isSet(version)) {
        commandLine.output = frmMain::windowTitleText() + u'\n';
        commandLine.exitCode = 0;
    } else {
        // Relative names mean the folder VUSK was started in, whatever happens later.
        for (const QString &file : parser.positionalArguments())
            commandLine.files.append(QFileInfo(file).absoluteFilePath());
    }
    return commandLine;
}

CommandLine readCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    CommandLine commandLine = parseCommandLine(arguments);
    std::fputs(commandLine.output.toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.errors.toLocal8Bit().constData(), stderr);
    return commandLine;
}

} // namespace vusk
