#include "messageboxes.h"

#include <QMessageBox>

void QtMessageBoxes::MsgBox(const QString &prompt, int style, const QString &title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case 16:
        icon = QMessageBox::Critical;
        break;
    case 32:
        icon = QMessageBox::Question;
        break;
    case 48:
        icon = QMessageBox::Warning;
        break;
    case 64:
        icon = QMessageBox::Information;
        break;
    }
    // Centred over the window, or over the screen while the window is not
    // shown yet (a box over a hidden window lands in the screen's corner).
    QWidget *over = parent_ && parent_->isVisible() ? parent_ : nullptr;
    QMessageBox box(icon, title, prompt, QMessageBox::Ok, over);
    box.exec();
}
