#include "labelarray.h"

#include "runtimeerror.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <utility>

namespace {

// An auto-sized label with no caption keeps this width.
constexpr double EmptyCaptionWidth = 75;

} // namespace

LabelArray::LabelArray(QWidget *parent, double left, double top, double twipsPerPixel, double fontScale,
                       PaintColorFunction paintColor)
    : QWidget(parent), twipsPerPixel_(twipsPerPixel), fontScale_(fontScale), paintColor_(paintColor), records_(2)
{
    // The array draws over its parent's client area and lets clicks through.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(parent->rect());
    parent->installEventFilter(this);

    Record first;
    first.fontName = QStringLiteral("MS Sans Serif");
    first.fontSize = 9.75f;
    first.fontBold = true;
    first.left = left;
    first.top = top;
    records_[1] = first;
    count_ = 1;
    Fit(*records_[1]);
}

LabelArray::Element LabelArray::operator[](int index)
{
    At(index);
    return Element(this, index);
}

LabelArray::ConstElement LabelArray::operator[](int index) const
{
    At(index);
    return ConstElement(this, index);
}

bool LabelArray::Exists(int index) const
{
    return index >= 0 && std::size_t(index) < records_.size() && records_[std::size_t(index)].has_value();
}

const LabelArray::Record &LabelArray::At(int index) const
{
    if (!Exists(index))
        throw RuntimeErrors::NoSuchControlElement(index);
    return *records_[std::size_t(index)];
}

LabelArray::Record &LabelArray::At(int index)
{
    return const_cast<Record &>(std::as_const(*this).At(index));
}

void LabelArray::Load(int index)
{
    if (Exists(index))
        throw RuntimeErrors::ObjectAlreadyLoaded();
    if (index < 0 || index > 32767)
        throw RuntimeErrors::Overflow();
    if (std::size_t(index) >= records_.size())
        records_.resize(std::size_t(index) + 1);
    Record copy = *records_[1];
    copy.visible = false;
    records_[std::size_t(index)] = std::move(copy);
    ++count_;
}

void LabelArray::Unload(int index)
{
    if (!Exists(index))
        throw RuntimeErrors::NoSuchControlElement(index);
    if (index == 1)
        throw RuntimeErrors::CantUnloadDesignTimeControl();
    const bool wasVisible = records_[std::size_t(index)]->visible;
    records_[std::size_t(index)].reset();
    --count_;
    while (!records_.back())
        records_.pop_back();
    if (wasVisible) {
        update();
        RefreshAccessibleName();
    }
}

QString LabelArray::VisibleText() const
{
    QString text;
    for (const auto &record : records_)
        if (record && record->visible)
            text += record->caption;
    return text;
}

const QFontMetricsF &LabelArray::MetricsOf(const Record &record)
{
    MeasuredFont &m = measured_;
    if (!m.metrics || m.size != record.fontSize || m.bold != record.fontBold || m.italic != record.fontItalic
        || m.name != record.fontName) {
        m.name = record.fontName;
        m.size = record.fontSize;
        m.bold = record.fontBold;
        m.italic = record.fontItalic;
        m.font = QFont(m.name);
        // Drawn larger with a window drawn larger, so that a label keeps its
        // size in twips.
        m.font.setPointSizeF(m.size * fontScale_);
        m.font.setBold(m.bold);
        m.font.setItalic(m.italic);
        m.metrics.emplace(m.font, this);
        m.widths.clear();
    }
    return *m.metrics;
}

void LabelArray::Fit(Record &record)
{
    if (!record.autoSize)
        return;
    const QFontMetricsF &metrics = MetricsOf(record);
    record.height = metrics.height() * twipsPerPixel_;
    if (record.caption.isEmpty()) {
        record.width = EmptyCaptionWidth;
        return;
    }
    auto &widths = measured_.widths;
    auto width = widths.constFind(record.caption);
    if (width == widths.cend())
        width = widths.insert(record.caption, metrics.horizontalAdvance(record.caption) * twipsPerPixel_);
    record.width = *width;
}

void LabelArray::Changed(Record &record, bool resize)
{
    if (resize)
        Fit(record);
    if (record.visible) {
        update();
        RefreshAccessibleName();
    }
}

// Rebuilding the name on every change would cost the square of the count;
// it is done once, when the event loop next runs.
void LabelArray::RefreshAccessibleName()
{
    if (accessibleNamePending_)
        return;
    accessibleNamePending_ = true;
    QTimer::singleShot(0, this, [this] {
        accessibleNamePending_ = false;
        setAccessibleName(VisibleText());
    });
}

bool LabelArray::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void LabelArray::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRectF dirty = event->rect();
    for (const auto &record : records_) {
        if (!record || !record->visible)
            continue;
        const QRectF box(record->left / twipsPerPixel_, record->top / twipsPerPixel_, record->width / twipsPerPixel_,
                         record->height / twipsPerPixel_);
        if (!box.intersects(dirty))
            continue;
        painter.fillRect(box, paintColor_(record->backColor));
        if (record->caption.isEmpty())
            continue;
        const QFontMetricsF &metrics = MetricsOf(*record);
        if (painter.font() != measured_.font)
            painter.setFont(measured_.font);
        painter.setPen(paintColor_(record->foreColor));
        painter.drawText(QPointF(box.left(), box.top() + metrics.ascent()), record->caption);
    }
}

void LabelArray::Element::SetCaption(const QString &caption)
{
    record().caption = caption;
    Changed(true);
}

void LabelArray::Element::SetForeColor(ColorValue color)
{
    record().foreColor = color;
    Changed(false);
}

void LabelArray::Element::SetBackColor(ColorValue color)
{
    record().backColor = color;
    Changed(false);
}

void LabelArray::Element::SetFontSize(float size)
{
    if (!(size > 0))
        throw RuntimeErrors::InvalidPropertyValue();
    record().fontSize = size;
    Changed(true);
}

void LabelArray::Element::SetFontName(const QString &name)
{
    record().fontName = name;
    Changed(true);
}

void LabelArray::Element::SetFontBold(bool bold)
{
    record().fontBold = bold;
    Changed(true);
}

void LabelArray::Element::SetFontItalic(bool italic)
{
    record().fontItalic = italic;
    Changed(true);
}

void LabelArray::Element::SetAutoSize(bool autoSize)
{
    record().autoSize = autoSize;
    Changed(true);
}

void LabelArray::Element::SetLeft(double left)
{
    record().left = left;
    Changed(false);
}

void LabelArray::Element::SetTop(double top)
{
    record().top = top;
    Changed(false);
}

void LabelArray::Element::SetVisible(bool visible)
{
    Record &r = record();
    if (r.visible == visible)
        return;
    r.visible = visible;
    labels_->update();
    labels_->RefreshAccessibleName();
}
