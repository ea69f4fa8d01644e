#include "cli.h"
#include "clipboardhandover.h"
#include "clipboardkeeper.h"
#include "commandline.h"
#include "form1.h"
#include "terminationwatcher.h"
#include "version.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>

namespace {

// The theme's icon where one is installed, else the one built in.
QIcon WindowIcon()
{
    QIcon builtIn;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString &name : icons.entryList(QDir::Files))
        builtIn.addFile(icons.filePath(name));
    return QIcon::fromTheme(QStringLiteral(HUESPIN_APP_ID), builtIn);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // --help, --version and mistakes need no display.
    const CommandLine line = ParseCommandLine(arguments);
    if (line.keepClipboard)
        return KeepClipboard(argc, argv);
    if (line.printMarkup)
        return PrintMarkup(line, argc, argv);
    if (!line.openWindow) {
        std::FILE *stream = line.outputIsError ? stderr : stdout;
        // Output that cannot be written (a full disk, a closed pipe) is a failure.
        if (std::fputs(line.output.toLocal8Bit().constData(), stream) < 0 || std::fflush(stream) != 0)
            return 1;
        return line.exitStatus;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Huespin"));
    QApplication::setApplicationVersion(QStringLiteral(HUESPIN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(HUESPIN_APP_ID));
    // Looking the icon up in the theme costs as much as building the window:
    // it comes once the window's first frame is on the screen.
    const auto setIcon = [] { QApplication::setWindowIcon(WindowIcon()); };

    // Started from the desktop menu, the window may be the only place where
    // the user can read why Huespin does not open.
    if (line.documentsFolder) {
        const QString error = EnterWorkingFolder(DocumentsWorkingFolder());
        if (!error.isEmpty()) {
            std::fprintf(stderr, "huespin: %s\n", error.toLocal8Bit().constData());
            setIcon();
            QMessageBox::critical(nullptr, QStringLiteral("Huespin v" HUESPIN_VERSION), error);
            return 1;
        }
    }

    Form1 form;
    QObject::connect(&form, &Form1::firstPainted, setIcon);
    TerminationWatcher watcher;
    // A termination request or the end of the desktop session closes the
    // window as the user would, so that the settings are saved.
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &form, &QWidget::close);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, &QWidget::close);
    form.show();
    const int status = QApplication::exec();
    HandOverClipboard(line.display);
    return status;
}
