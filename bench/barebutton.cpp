// A bare Qt button that puts given markup on the clipboard, as text and as
// HTML, in a window of Huespin's size with the button where Huespin's output
// button is: what the Clipboard click is measured against.
//   barebutton TEXT-FILE HTML-FILE
// The text file holds the markup in UTF-8, the HTML file the HTML flavour's
// bytes; both are read once at the start.
#include "formlayout.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QWidget>

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 2;
    const QString text = QString::fromUtf8(ReadFile(arguments[1]));
    const QByteArray html = ReadFile(arguments[2]);

    QWidget window;
    const double twipsPerPixel = 1440.0 / window.logicalDpiX();
    const auto pixels = [twipsPerPixel](int twips) { return qRound(twips / twipsPerPixel); };
    window.setFixedSize(pixels(FormLayout::FormWidth), pixels(FormLayout::FormHeight));
    window.setWindowTitle(QStringLiteral("Bare button"));
    constexpr FormLayout::ControlPlace place = FormLayout::Find("Command3");
    auto *button = new QPushButton(QStringLiteral("Clipboard"), &window);
    button->setGeometry(pixels(place.left), pixels(place.top), pixels(place.width), pixels(place.height));
    QObject::connect(button, &QPushButton::clicked, [&text, &html] {
        auto *content = new QMimeData;
        content->setText(text);
        content->setData(QStringLiteral("text/html"), html);
        QGuiApplication::clipboard()->setMimeData(content);
    });
    window.show();
    return QApplication::exec();
}
