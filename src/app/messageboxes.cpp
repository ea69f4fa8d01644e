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
    QMessageBox box(icon, title, prompt, QMessageBox::Ok, parent_);
    box.exec();
}
