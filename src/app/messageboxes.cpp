#include "messageboxes.h"

#include <QMessageBox>

void QtMessageBoxes::MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style) {
    case MsgBoxStyle::OkOnly: break;
    case MsgBoxStyle::Critical: icon = QMessageBox::Critical; break;
    case MsgBoxStyle::Exclamation: icon = QMessageBox::Warning; break;
    }
    // Centred over the window, or over the screen while the window is not
    // shown yet (a box over a hidden window lands in the screen's corner).
    QWidget *over = parent_ && parent_->isVisible() ? parent_ : nullptr;
    QMessageBox box(icon, title, prompt, QMessageBox::Ok, over);
    box.exec();
}
