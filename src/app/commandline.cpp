#include "commandline.h"

#include "version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

struct QtOption {
    const char *name;
    bool takesValue;
};

// The options that QGuiApplication and QApplication read themselves.
constexpr QtOption QtOptions[] = {
    {"platform", true},      {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},
    {"qmljsdebugger", true}, {"qwindowgeometry", true},
    {"qwindowicon", true},   {"qwindowtitle", true},
    {"session", true},       {"style", true},
    {"stylesheet", true},    {"display", true},
    {"geometry", true},      {"title", true},
    {"reverse", false},      {"widgetcount", false},
    {"nograb", false},       {"dograb", false},
    {"sync", false},         {"name", true},
    {"testability", false},
};

CommandLine Print(const QString &text, int exitStatus = 0)
{
    CommandLine line;
    line.openWindow = false;
    line.output = text;
    line.outputIsError = exitStatus != 0;
    line.exitStatus = exitStatus;
    return line;
}

CommandLine Fail(const QString &error)
{
    return Print(QStringLiteral("huespin: %1\nTry 'huespin --help' for more information.\n").arg(error), 2);
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options are single words after one dash, as in "-platform xcb".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Huespin turns a line of text into colour-gradient HTML: one font element a\n"
                       "character, the colours running from Color 1 to Color 2. The markup goes to the\n"
                       "clipboard or is appended to output.html in the current folder."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption documentsFolder(
        QStringLiteral("documents-folder"),
        QStringLiteral("Work in the Huespin folder of your documents folder (created when missing), "
                       "as the desktop menu starts it; without it Huespin works in the current folder."));
    QCommandLineOption keepClipboard(QStringLiteral("keep-clipboard"), QString());
    keepClipboard.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(documentsFolder);
    parser.addOption(keepClipboard);
    for (const QtOption &qtOption : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(qtOption.name), QString(),
                                  qtOption.takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments))
        return Fail(parser.errorText());
    if (parser.isSet(help)) {
        // The parser names the program after the application object, which
        // is not made yet; the usage line says it as one types it.
        const QString text = parser.helpText();
        return Print(QStringLiteral("Usage: huespin [options]") + text.mid(text.indexOf(u'\n')));
    }
    if (parser.isSet(version))
        return Print(QStringLiteral("huespin %1\n").arg(QStringLiteral(HUESPIN_VERSION)));
    if (!parser.positionalArguments().isEmpty())
        return Fail(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()));

    CommandLine line;
    line.documentsFolder = parser.isSet(documentsFolder);
    line.keepClipboard = parser.isSet(keepClipboard);
    line.openWindow = !line.keepClipboard;
    line.display = parser.value(QStringLiteral("display"));
    return line;
}

QString DocumentsWorkingFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QString() : documents + QStringLiteral("/Huespin");
}

QString EnterWorkingFolder(const QString &folder)
{
    if (folder.isEmpty())
        return QStringLiteral("No documents folder is known (is HOME set?).");
    const QString shown = QDir::toNativeSeparators(folder);
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error)
        return QStringLiteral("Cannot create the folder %1: %2.").arg(shown, QString::fromStdString(error.message()));
    if (::chdir(QFile::encodeName(folder).constData()) != 0)
        return QStringLiteral("Cannot work in the folder %1: %2.")
            .arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}
