#include "windowentry.h"

#include "clipboardhandover.h"
#include "clipboardkeeper.h"
#include "form1.h"
#include "safefile.h"
#include "terminationwatcher.h"
#include "version.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Qt ends a program that finds no display with abort() and advice to
// reinstall it. Here a user is told in one line how to print markup without
// a display instead. What the platform says on the way is held back, and
// passed on when a display was found after all.
class DisplayCheck {
public:
    DisplayCheck() { previous_ = qInstallMessageHandler(&Hold); }
    ~DisplayCheck()
    {
        qInstallMessageHandler(previous_);
        for (const QString &message : held_)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        held_.clear();
    }
    DisplayCheck(const DisplayCheck &) = delete;
    DisplayCheck &operator=(const DisplayCheck &) = delete;

private:
    static void Hold(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type != QtFatalMsg) {
            held_.push_back(qFormatLogMessage(type, context, message));
            return;
        }
        const QString text = QCoreApplication::translate(
            "WindowProgram",
            "no display was found to open the window on; 'huespin TEXT' or 'huespin -' print the markup without one");
        std::fprintf(stderr, "huespin: %s\n", qPrintable(text));
        ::_exit(1);
    }

    static inline std::vector<QString> held_;
    QtMessageHandler previous_ = nullptr;
};

// The theme's icon where one is installed, else the one built in.
QIcon WindowIcon()
{
    QIcon builtIn;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString &name : icons.entryList(QDir::Files))
        builtIn.addFile(icons.filePath(name));
    return QIcon::fromTheme(QStringLiteral(HUESPIN_APP_ID), builtIn);
}

int RunWindow(const HuespinWindowRequest &request, int argc, char *argv[])
{
    auto displayCheck = std::make_unique<DisplayCheck>();
    QApplication app(argc, argv);
    displayCheck.reset();
    QApplication::setApplicationName(QStringLiteral("Huespin"));
    QApplication::setApplicationVersion(QStringLiteral(HUESPIN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(HUESPIN_APP_ID));
    // Looking the icon up in the theme costs as much as building the window:
    // it comes once the window's first frame is on the screen.
    const auto setIcon = [] { QApplication::setWindowIcon(WindowIcon()); };

    // Started from the desktop menu, the window may be the only place where
    // the user can read why Huespin does not open.
    if (request.documentsFolder) {
        const QString error = EnterWorkingFolder(DocumentsWorkingFolder());
        if (!error.isEmpty()) {
            std::fprintf(stderr, "huespin: %s\n", error.toLocal8Bit().constData());
            setIcon();
            QMessageBox::critical(nullptr, Form1::Caption(), error);
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
    HandOverClipboard(QString::fromUtf8(request.display));
    return status;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int HuespinRunWindowProgram(const HuespinWindowRequest *request,
                                                                              int argc, char *argv[])
{
    if (request->version != WindowRequestVersion) {
        const QString text =
            QCoreApplication::translate("WindowProgram",
                                        "the window's module is of another build (request %1, module %2); reinstall "
                                        "Huespin")
                .arg(request->version)
                .arg(WindowRequestVersion);
        std::fprintf(stderr, "huespin: %s\n", qPrintable(text));
        return 1;
    }
    if (request->keepClipboard)
        return KeepClipboard(argc, argv);
    return RunWindow(*request, argc, argv);
}
