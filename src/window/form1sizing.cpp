// The window's size and fonts: its controls placed from their twips, grown
// with a large desktop font, and its outer size held under a window manager.
#include "form1.h"

#include "formlayout.h"
#include "twips.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// The classic design's captions fit at 8 points; the buttons' font goes no
// smaller than this, however large the desktop's captions run.
constexpr double SmallestFontSize = 6;

// The desktops' usual font size (GNOME's and KDE's default); the window keeps
// its design size up to it.
constexpr double UsualDesktopPoints = 11;

// The room a button leaves for its caption; it does not depend on the font.
QSize CaptionRoom(const QPushButton *button, const QString &caption)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = caption;
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
}

} // namespace

void Form1::Place(QWidget *control)
{
    const FormLayout::ControlPlace place = FormLayout::Find(control->objectName().toStdString());
    control->setGeometry(Pixels(place.left), Pixels(place.top), Pixels(place.width), Pixels(place.height));
}

int Form1::Pixels(int twips) const
{
    return qRound(twips / twipsPerPixel_);
}

// Up to the usual size, the window keeps its design size and its font
// shrinks until the captions fit (the design's fit at about 9 points). Above
// it, the window grows with the font, as it would at a higher dpi: by the
// font's ratio to the usual size at least, and further until every caption
// fits at the desktop's size.
void Form1::ScaleWithDesktopFont()
{
    const double desktopPoints = FontPointSize(QApplication::font(this), this);
    double fitted = FitControlFont();
    if (desktopPoints <= UsualDesktopPoints)
        return;
    double scale = std::max(desktopPoints / UsualDesktopPoints, desktopPoints / fitted);
    // Pixels round and text does not scale quite in proportion: a few rounds
    // make up the difference.
    for (int round = 0; round < 5; ++round) {
        SetScale(scale);
        fitted = FitControlFont();
        if (fitted >= desktopPoints)
            return;
        scale *= std::max(desktopPoints / fitted, 1.02);
    }
}

// Only then do the captions' measures decide the window's size.
bool Form1::GrowsWithDesktopFont() const
{
    return FontPointSize(QApplication::font(this), this) > UsualDesktopPoints;
}

// Draws the window scale times its design size; the controls move with it.
void Form1::SetScale(double scale)
{
    scale_ = scale;
    twipsPerPixel_ = TwipsPerPixel(this) / scale;
    for (const FormLayout::ControlPlace &place : FormLayout::Controls)
        if (auto *control = findChild<QWidget *>(QString::fromUtf8(place.name.data(), qsizetype(place.name.size()))))
            Place(control);
}

// The desktop's own family at the largest size, up to the desktop's, at
// which every caption that a button ever shows fits it (its access key mark
// taken out); returns that size. The captions are measured in each size
// before the window takes one, which would lay out every control again.
double Form1::FitControlFont()
{
    QList<std::pair<QString, QSize>> captions;
    const auto need = [&](const QPushButton *button, const QString &caption) {
        if (!caption.isEmpty())
            captions.append({caption, CaptionRoom(button, caption)});
    };
    for (const QPushButton *button : findChildren<QPushButton *>())
        need(button, button->text());
    need(Command3, tr("File"));
    need(Command6, tr("Help && About"));
    need(Command7, tr("Hide it"));
    QFont font = QApplication::font(this);
    const double desktopSize = FontPointSize(font, this);
    // How much of the room the captions take at a size; text grows about in
    // proportion with it, so the search starts half a point above the size
    // that this predicts instead of stepping down from the desktop's.
    const auto filled = [&](double size) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font, this);
        double most = 0;
        for (const auto &[caption, room] : captions) {
            const QSize text = metrics.size(Qt::TextShowMnemonic, caption);
            most = std::max({most, double(text.width()) / std::max(room.width(), 1),
                             double(text.height()) / std::max(room.height(), 1)});
        }
        return most;
    };
    double size = desktopSize;
    if (const double share = filled(size); share > 1)
        size = std::min(desktopSize, std::floor(size / share * 2) / 2 + 0.5);
    while (size > SmallestFontSize && filled(size) > 1)
        size -= 0.5;
    font.setPointSizeF(std::max(size, SmallestFontSize));
    setFont(font);
    return font.pointSizeF();
}

void Form1::SetFormSize(int widthTwips, int heightTwips)
{
    outerSize_ = QSize(Pixels(widthTwips), Pixels(heightTwips));
    FitToFrame();
}

// The frame is known only once the window manager has framed the window,
// which it reports with a move or a resize; until then the frame counts as
// none. The size is fixed to what leaves the outer size as set.
void Form1::FitToFrame()
{
    if (!outerSize_.isValid())
        return;
    const QMargins frame = windowHandle() && isVisible() ? windowHandle()->frameMargins() : QMargins();
    const QSize client = outerSize_.shrunkBy(frame);
    if (size() != client || minimumSize() != client || maximumSize() != client)
        setFixedSize(client);
}

// The window paints before its children and flushes the frame after them: a
// call queued now runs once the whole frame is on the screen.
void Form1::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!painted_) {
        painted_ = true;
        QMetaObject::invokeMethod(this, &Form1::firstPainted, Qt::QueuedConnection);
    }
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FitToFrame();
}

void Form1::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    FitToFrame();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FitToFrame();
}
