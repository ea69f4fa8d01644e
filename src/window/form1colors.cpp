// Choosing the two gradient colours, swapping them, and the Gradient dialog.
#include "form1.h"

#include "commondialog.h"
#include "gradientdialog.h"
#include "shape.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

void Form1::ChooseColor1()
{
    ChooseColor(Color1, *Shape1);
}

void Form1::ChooseColor2()
{
    ChooseColor(Color2, *Shape2);
}

// The dialog starts from the colour already chosen, else from its last one.
// A cancelled dialog keeps everything as it was.
void Form1::ChooseColor(ColorValue &color, Shape &swatch)
{
    ResetPreview();
    const std::optional<ColorValue> chosen =
        CommonDialog1.ShowColor(color == NoColor ? std::nullopt : std::optional<ColorValue>(color));
    if (!chosen)
        return;
    color = *chosen;
    swatch.ShowColor(color);
}

void Form1::SwapColors()
{
    ResetPreview();
    if (Color1 < 0 || Color2 < 0)
        return;
    std::swap(Color1, Color2);
    Shape1->SetBackColor(Color1);
    Shape2->SetBackColor(Color2);
}

// The colour buttons' menu and the output button's offer the Gradient
// dialog, as does Ctrl+G anywhere in the window.
void Form1::CreateGradientMenus()
{
    auto *open = new QAction(tr("&Gradient…"), this);
    open->setObjectName(QStringLiteral("GradientAction"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    open->setShortcutContext(Qt::WindowShortcut);
    addAction(open);
    connect(open, &QAction::triggered, this, [this] { RunEvent([this] { ChooseGradient(); }); });
    colorMenu_ = new QMenu(tr("Color"), this);
    colorMenu_->setObjectName(QStringLiteral("ColorMenu"));
    colorMenu_->setAccessibleName(tr("Color"));
    colorMenu_->addAction(open);
    formatMenu_->addSeparator();
    formatMenu_->addAction(open);
    for (QPushButton *button : {Command1, Command2}) {
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        const auto show = [this, button](const QPoint &at) { colorMenu_->popup(button->mapToGlobal(at)); };
        connect(button, &QWidget::customContextMenuRequested, this, show);
        auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), button);
        menuKey->setContext(Qt::WidgetShortcut);
        connect(menuKey, &QShortcut::activated, this, [show, button] { show(button->rect().center()); });
    }
}

// The window waits while the dialog is open; OK takes its gradient whole,
// its ends as Color 1 and Color 2, and Cancel nothing.
void Form1::ChooseGradient()
{
    for (const GradientDialog *open : findChildren<GradientDialog *>())
        if (open->isVisible())
            return;
    ResetPreview();
    auto *dialog = new GradientDialog(WholeGradient(Color1, Color2, Shaping), CommonDialog1, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const Gradient &chosen = dialog->Chosen();
        Shaping.between.assign(chosen.stops.begin() + 1, chosen.stops.end() - 1);
        Shaping.blend = chosen.blend;
        Color1 = chosen.stops.front().color;
        Color2 = chosen.stops.back().color;
        if (Color1 != NoColor)
            Shape1->ShowColor(Color1);
        if (Color2 != NoColor)
            Shape2->ShowColor(Color2);
    });
    dialog->open();
}

// None where the preview keeps its classic colours; else the whole gradient.
const Gradient *Form1::ShapedGradient(Gradient &whole) const
{
    if (Shaping.IsClassic())
        return nullptr;
    whole = WholeGradient(Color1, Color2, Shaping);
    return &whole;
}
