// A bare Qt button that puts given markup on the clipboard, as text and as
// HTML: what the Clipboard click is measured against. Its window has
// Huespin's size, the button Huespin's output button's place, and a text box
// in Text1's place holds the text the markup is made of, with the focus at
// the start, so that a first click moves the focus from a text box of that
// text to the button in both windows.
//   barebutton MARKUP-FILE HTML-FILE TEXT-FILE
// The markup file holds the markup in UTF-8, the HTML file the HTML
// flavour's bytes, the text file the text; all are read at the start.
#include "formlayout.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
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
    if (arguments.size() != 4)
        return 2;
    const QString markup = QString::fromUtf8(ReadFile(arguments[1]));
    const QByteArray html = ReadFile(arguments[2]);

    QWidget window;
    const double twipsPerPixel = 1440.0 / window.logicalDpiX();
    const auto place = [&window, twipsPerPixel](QWidget *control, std::string_view name) {
        const FormLayout::ControlPlace design = FormLayout::Find(name);
        control->setGeometry(qRound(design.left / twipsPerPixel), qRound(design.top / twipsPerPixel),
                             qRound(design.width / twipsPerPixel), qRound(design.height / twipsPerPixel));
    };
    window.setFixedSize(qRound(FormLayout::FormWidth / twipsPerPixel), qRound(FormLayout::FormHeight / twipsPerPixel));
    window.setWindowTitle(QStringLiteral("Bare button"));
    auto *text = new QLineEdit(&window);
    text->setMaxLength(65535);
    text->setText(QString::fromUtf8(ReadFile(arguments[3])));
    place(text, "Text1");
    auto *button = new QPushButton(QStringLiteral("Clipboard"), &window);
    place(button, "Command3");
    QObject::connect(button, &QPushButton::clicked, [&markup, &html] {
        auto *content = new QMimeData;
        content->setText(markup);
        content->setData(QStringLiteral("text/html"), html);
        QGuiApplication::clipboard()->setMimeData(content);
    });
    text->setFocus();
    window.show();
    return QApplication::exec();
}
