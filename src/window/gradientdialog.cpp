#include "gradientdialog.h"

#include "commondialog.h"
#include "qtcolor.h"
#include "windowmarkup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QStyle>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

// The gradient drawn across the strip's width, a column a pixel, with a
// mark under each stop and a larger one under the selected stop.
class GradientStrip : public QWidget {
public:
    GradientStrip(const Gradient &gradient, QWidget *parent) : QWidget(parent), gradient_(gradient)
    {
        setMinimumHeight(fontMetrics().height() * 2);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void Select(int stop)
    {
        selected_ = stop;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int mark = height() / 4;
        const int band = height() - mark;
        // Inset by a mark's width, so that the marks of the ends show whole.
        const int width = std::max(this->width() - 2 * mark, 2);
        const GradientColors colors(gradient_, std::size_t(width));
        GradientColors::Walk walk;
        for (int x = 0; x < width; ++x) {
            const Rgb rgb = colors.Next(walk);
            painter.fillRect(mark + x, 0, 1, band, QColor(rgb.red, rgb.green, rgb.blue));
        }
        const std::vector<std::size_t> places = PlaceStops(gradient_.stops, std::size_t(width));
        painter.setRenderHint(QPainter::Antialiasing);
        for (std::size_t i = 0; i < places.size() && i < gradient_.stops.size(); ++i) {
            const bool selected = int(i) == selected_;
            const qreal half = selected ? mark : mark * 0.6;
            const qreal x = qreal(mark + places[i]) + 0.5;
            const QPointF tip(x, band);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.setBrush(selected ? palette().color(QPalette::Highlight) : palette().color(QPalette::Window));
            painter.drawPolygon(QPolygonF{tip, tip + QPointF(-half, half), tip + QPointF(half, half)});
        }
    }

private:
    const Gradient &gradient_;
    int selected_ = -1;
};

namespace {

QColor ShownColor(ColorValue color)
{
    const Rgb rgb = RgbOf(color);
    return {rgb.red, rgb.green, rgb.blue};
}

QString HexText(ColorValue color)
{
    return ShownColor(color).name(QColor::HexRgb).toUpper();
}

QIcon Swatch(ColorValue color, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(ShownColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    // The same when selected: the selection must not tint the colour.
    QIcon icon(pixmap);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

// The colour a new stop takes: the middle of its neighbours by the blend.
ColorValue MiddleColor(ColorValue from, ColorValue to, Blend blend)
{
    const GradientColors colors(Gradient{{{from, std::nullopt}, {to, std::nullopt}}, blend}, 3);
    GradientColors::Walk walk;
    colors.Next(walk);
    const Rgb middle = colors.Next(walk);
    return ComposeColor(std::int16_t(middle.red), std::int16_t(middle.green), std::int16_t(middle.blue));
}

QPushButton *MakeButton(const QString &caption, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel *MakeLabel(const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

GradientDialog::GradientDialog(const Gradient &gradient, CommonDialog &colors, QWidget *parent)
    : QDialog(parent), gradient_(gradient), colors_(colors)
{
    setObjectName(QStringLiteral("GradientDialog"));
    setWindowTitle(tr("Gradient"));
    setAccessibleName(tr("Gradient"));

    strip_ = new GradientStrip(gradient_, this);
    strip_->setObjectName(QStringLiteral("GradientStrip"));
    strip_->setAccessibleName(tr("The gradient"));

    swatches_ = new QListWidget(this);
    swatches_->setObjectName(QStringLiteral("Stops"));
    swatches_->setAccessibleName(tr("Stops"));
    swatches_->setViewMode(QListView::IconMode);
    swatches_->setFlow(QListView::LeftToRight);
    swatches_->setWrapping(false);
    swatches_->setMovement(QListView::Static);
    const int side = fontMetrics().height() * 2;
    swatches_->setIconSize(QSize(side, side));
    // Room for the widest colour's name, and for a second line with the
    // stop's position; many stops scroll sideways.
    swatches_->setWordWrap(true);
    swatches_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int gridHeight = side + fontMetrics().height() * 3;
    swatches_->setGridSize(QSize(fontMetrics().horizontalAdvance(QStringLiteral("#DDDDDD")) + side, gridHeight));
    swatches_->setFixedHeight(gridHeight + swatches_->frameWidth() * 2
                              + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, swatches_));

    add_ = MakeButton(tr("&Add"), "AddStop", this);
    add_->setAccessibleName(tr("Add a stop after the selected one"));
    remove_ = MakeButton(tr("&Remove"), "RemoveStop", this);
    remove_->setAccessibleName(tr("Remove the selected stop"));
    left_ = MakeButton(tr("Move &left"), "MoveLeft", this);
    left_->setAccessibleName(tr("Move the selected stop left"));
    right_ = MakeButton(tr("Move ri&ght"), "MoveRight", this);
    right_->setAccessibleName(tr("Move the selected stop right"));
    color_ = MakeButton(tr("C&olor..."), "StopColor", this);
    color_->setAccessibleName(tr("Color of the selected stop"));

    position_ = new QLineEdit(this);
    position_->setObjectName(QStringLiteral("Position"));
    position_->setAccessibleName(tr("Position in percent, empty for none"));
    position_->setPlaceholderText(tr("none"));
    auto *validator = new QDoubleValidator(0, 100, 3, position_);
    validator->setNotation(QDoubleValidator::StandardNotation);
    position_->setValidator(validator);

    blend_ = new QComboBox(this);
    blend_->setObjectName(QStringLiteral("Blend"));
    blend_->setAccessibleName(tr("Blend"));
    for (const Blend blend : Blends)
        blend_->addItem(BlendName(blend), QString::fromLatin1(BlendText(blend)));
    blend_->setCurrentIndex(int(gradient_.blend));

    preset_ = new QComboBox(this);
    preset_->setObjectName(QStringLiteral("Preset"));
    preset_->setAccessibleName(tr("Preset"));
    preset_->addItem(tr("(choose one)"));
    for (const GradientPreset &preset : GradientPresets())
        preset_->addItem(QString::fromStdString(preset.name));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));

    auto *stopButtons = new QHBoxLayout;
    for (QPushButton *button : {add_, remove_, left_, right_, color_})
        stopButtons->addWidget(button);
    stopButtons->addStretch();
    auto *fields = new QFormLayout;
    fields->addRow(MakeLabel(tr("&Position (%):"), position_, this), position_);
    fields->addRow(MakeLabel(tr("&Blend:"), blend_, this), blend_);
    fields->addRow(MakeLabel(tr("Pr&eset:"), preset_, this), preset_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(strip_);
    layout->addWidget(MakeLabel(tr("&Stops, from Color 1 to Color 2:"), swatches_, this));
    layout->addWidget(swatches_);
    layout->addLayout(stopButtons);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    connect(swatches_, &QListWidget::currentRowChanged, this, &GradientDialog::ShowSelected);
    connect(swatches_, &QListWidget::itemActivated, this, &GradientDialog::PickColor);
    connect(add_, &QPushButton::clicked, this, &GradientDialog::AddStop);
    connect(remove_, &QPushButton::clicked, this, &GradientDialog::RemoveStop);
    connect(left_, &QPushButton::clicked, this, [this] { MoveStop(-1); });
    connect(right_, &QPushButton::clicked, this, [this] { MoveStop(1); });
    connect(color_, &QPushButton::clicked, this, &GradientDialog::PickColor);
    connect(position_, &QLineEdit::textEdited, this, &GradientDialog::TakePosition);
    connect(blend_, &QComboBox::activated, this, &GradientDialog::ChooseBlend);
    connect(preset_, &QComboBox::activated, this, &GradientDialog::ChoosePreset);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    ShowStops(0);
    swatches_->setFocus();
    resize(sizeHint().expandedTo(QSize(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 40, 0)));
}

// The swatches again, from the stops, with one selected.
void GradientDialog::ShowStops(int select)
{
    const QSignalBlocker quiet(swatches_);
    swatches_->clear();
    const int last = int(gradient_.stops.size()) - 1;
    for (int row = 0; row <= last; ++row) {
        const GradientStop &stop = gradient_.stops[std::size_t(row)];
        QString caption = HexText(stop.color);
        if (row == 0)
            caption = tr("Color 1");
        else if (row == last)
            caption = tr("Color 2");
        else if (stop.position)
            caption += QStringLiteral("\n%1%").arg(locale().toString(*stop.position));
        auto *item = new QListWidgetItem(Swatch(stop.color, swatches_->iconSize()), caption, swatches_);
        item->setToolTip(HexText(stop.color));
        item->setData(Qt::AccessibleTextRole,
                      caption.replace(QLatin1Char('\n'), QLatin1Char(' ')) + QLatin1Char(' ') + HexText(stop.color));
    }
    swatches_->setCurrentRow(std::clamp(select, 0, last));
    ShowSelected();
}

void GradientDialog::ShowSelected()
{
    const int row = Selected();
    const int last = int(gradient_.stops.size()) - 1;
    const bool between = IsBetween(row);
    remove_->setEnabled(between);
    left_->setEnabled(between && IsBetween(row - 1));
    right_->setEnabled(between && IsBetween(row + 1));
    position_->setEnabled(between);
    const std::optional<double> position = between ? gradient_.stops[std::size_t(row)].position : std::nullopt;
    position_->setText(position ? position_->validator()->locale().toString(*position) : QString());
    add_->setEnabled(last >= 1);
    strip_->Select(row);
}

int GradientDialog::Selected() const
{
    return std::max(swatches_->currentRow(), 0);
}

bool GradientDialog::IsBetween(int row) const
{
    return row > 0 && row < int(gradient_.stops.size()) - 1;
}

// After the selected stop, or before Color 2 when that is selected.
void GradientDialog::AddStop()
{
    const int before = std::min(Selected(), int(gradient_.stops.size()) - 2);
    auto &stops = gradient_.stops;
    const ColorValue color =
        MiddleColor(stops[std::size_t(before)].color, stops[std::size_t(before) + 1].color, gradient_.blend);
    stops.insert(stops.begin() + before + 1, GradientStop{color, std::nullopt});
    ShowStops(before + 1);
}

void GradientDialog::RemoveStop()
{
    const int row = Selected();
    if (!IsBetween(row))
        return;
    gradient_.stops.erase(gradient_.stops.begin() + row);
    ShowStops(row);
}

// The colours change places; the positions stay where they are, in order.
void GradientDialog::MoveStop(int by)
{
    const int row = Selected();
    if (!IsBetween(row) || !IsBetween(row + by))
        return;
    std::swap(gradient_.stops[std::size_t(row)].color, gradient_.stops[std::size_t(row + by)].color);
    ShowStops(row + by);
}

void GradientDialog::PickColor()
{
    const int row = Selected();
    ColorValue &color = gradient_.stops[std::size_t(row)].color;
    const std::optional<ColorValue> chosen =
        colors_.ShowColor(color == NoColor ? std::nullopt : std::optional<ColorValue>(color));
    if (!chosen)
        return;
    color = *chosen;
    ShowStops(row);
}

// Empty is none; a text that does not yet read as 0 to 100 changes nothing.
void GradientDialog::TakePosition(const QString &text)
{
    const int row = Selected();
    if (!IsBetween(row))
        return;
    std::optional<double> &position = gradient_.stops[std::size_t(row)].position;
    if (text.trimmed().isEmpty())
        position.reset();
    else if (position_->hasAcceptableInput())
        position = position_->validator()->locale().toDouble(text);
    else
        return;
    const QSignalBlocker quiet(position_);
    ShowStops(row);
    position_->setText(text);
}

void GradientDialog::ChooseBlend(int index)
{
    gradient_.blend = Blends[std::size_t(index)];
    strip_->update();
}

// The preset's stops and blend, its first and last colours Color 1 and Color 2.
void GradientDialog::ChoosePreset(int index)
{
    if (index <= 0)
        return;
    gradient_ = GradientPresets()[std::size_t(index - 1)].gradient;
    blend_->setCurrentIndex(int(gradient_.blend));
    ShowStops(0);
}
