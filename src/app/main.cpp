#include "form1.h"
#include "terminationwatcher.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Huespin"));
    QApplication::setDesktopFileName(QStringLiteral("huespin"));

    Form1 form;
    TerminationWatcher watcher;
    // A termination request or the end of the desktop session closes the
    // window as the user would, so that the settings are saved.
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &form, &QWidget::close);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, &QWidget::close);
    form.show();
    return app.exec();
}
