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

namespace {

// The classic design's captions fit at 8 points; the buttons' font goes no
// smaller than this, however large the desktop's captions run.
constexpr double SmallestFontSize = 6;

// The desktops' usual font size (GNOME's and KDE's default); the window keeps
// its design size up to it.
constexpr double UsualDesktopPoints = 11;

// Whether the caption, its access key mark taken out, fits the button's
// contents in the button's font.
bool CaptionFits(const QPushButton *button, const QString &caption)
{
    if (caption.isEmpty())
        return true;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = caption;
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, caption);
    return text.width() <= contents.width() && text.height() <= contents.height();
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
// which every caption that a button ever shows fits it; returns that size.
double Form1::FitControlFont()
{
    const QList<std::pair<QPushButton *, QString>> later{{Command3, QStringLiteral("File")},
                                                         {Command6, QStringLiteral("Help && About")},
                                                         {Command7, QStringLiteral("Hide it")}};
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    const auto allFit = [&] {
        return std::ranges::all_of(buttons, [](const QPushButton *b) { return CaptionFits(b, b->text()); })
               && std::ranges::all_of(later, [](const auto &entry) { return CaptionFits(entry.first, entry.second); });
    };
    QFont font = QApplication::font(this);
    for (double size = FontPointSize(font, this);; size -= 0.5) {
        font.setPointSizeF(std::max(size, SmallestFontSize));
        setFont(font);
        if (size <= SmallestFontSize || allFit())
            return font.pointSizeF();
    }
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
