#include "commondialog.h"

#include "qtcolor.h"

#include <QColorDialog>
#include <QFontDialog>

// Qt's own dialogs rather than the desktop's, so that they behave the same
// everywhere. Qt's colour dialog always shows its custom colours.
bool CommonDialog::ShowColor()
{
    QColorDialog dialog(parent_);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(DialogTitle);
    dialog.setCurrentColor((Flags & CommonDialogFlags::ColorRgbInit) ? ToQColor(Color) : QColor(Qt::black));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Color = FromQColor(dialog.selectedColor());
    return true;
}

bool CommonDialog::ShowFont()
{
    QFont font(FontName);
    if (FontSize > 0)
        font.setPointSizeF(FontSize);
    font.setBold(FontBold);
    font.setItalic(FontItalic);
    QFontDialog dialog(font, parent_);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QFont chosen = dialog.selectedFont();
    FontName = chosen.family();
    FontSize = float(chosen.pointSizeF());
    FontBold = chosen.bold();
    FontItalic = chosen.italic();
    return true;
}
