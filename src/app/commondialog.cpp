#include "commondialog.h"

#include "qtcolor.h"

#include <QColorDialog>
#include <QFontDialog>

std::optional<ColorValue> CommonDialog::ShowColor(std::optional<ColorValue> start)
{
    if (start)
        color_ = *start;
    const std::optional<ColorValue> chosen = RunColorDialog(color_);
    if (chosen)
        color_ = *chosen;
    return chosen;
}

std::optional<PreviewFont> CommonDialog::ShowFont(const PreviewFont &start)
{
    return RunFontDialog(start);
}

// Qt's own dialogs rather than the desktop's, so that they behave the same
// everywhere. Qt's colour dialog always shows its custom colours.
std::optional<ColorValue> CommonDialog::RunColorDialog(ColorValue start)
{
    QColorDialog dialog(parent_);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("Choose Color"));
    dialog.setCurrentColor(ToQColor(start));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FromQColor(dialog.selectedColor());
}

std::optional<PreviewFont> CommonDialog::RunFontDialog(const PreviewFont &start)
{
    QFont font(start.Name);
    if (start.Size > 0)
        font.setPointSizeF(start.Size);
    font.setBold(start.Bold);
    font.setItalic(start.Italic);
    QFontDialog dialog(font, parent_);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = dialog.selectedFont();
    return PreviewFont{chosen.family(), float(chosen.pointSizeF()), chosen.bold(), chosen.italic()};
}
