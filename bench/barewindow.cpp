// A bare Qt window of Huespin's design size, built with the same flags: what
// Huespin's start-up is measured against. With --text it holds one line of
// text, so that it loads the fonts as every window with text does.
#include "formlayout.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    const double twipsPerPixel = 1440.0 / window.logicalDpiX();
    window.setFixedSize(qRound(FormLayout::FormWidth / twipsPerPixel), qRound(FormLayout::FormHeight / twipsPerPixel));
    window.setWindowTitle(QStringLiteral("Bare"));
    if (QCoreApplication::arguments().contains(QStringLiteral("--text")))
        (new QLineEdit(QStringLiteral("Some text"), &window))->setGeometry(8, 8, 400, 24);
    window.show();
    return QApplication::exec();
}
