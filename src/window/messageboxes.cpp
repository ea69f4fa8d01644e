#include "messageboxes.h"

#include <QDialogButtonBox>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The box's width for its whole title. The window manager's title font is
// unknown here: the box's own font, bold, stands in for it, with room for
// the frame's icon and three buttons and its edges, each taken as wide as a
// title bar is high. Qt allows 50 pixels beside the title, which leaves
// openbox showing "Hu....40".
int TitleWidth(const QMessageBox &box, const QString &title)
{
    QFont font = box.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int titleBarHeight = metrics.height() + 8;
    return metrics.horizontalAdvance(title) + 5 * titleBarHeight;
}

// Wide enough for its whole title. The box takes its layout's least width;
// the button row, which spans it, makes that wide enough.
void FitTitle(QMessageBox &box, const QString &title)
{
    if (auto *buttons = box.findChild<QDialogButtonBox *>()) {
        const QMargins margins = box.layout()->contentsMargins();
        buttons->setMinimumWidth(TitleWidth(box, title) - margins.left() - margins.right());
    }
}

} // namespace

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
    FitTitle(box, title);
    box.exec();
}

RetryAnswer QtMessageBoxes::AskRetry(const QString &prompt, const QString &goOnWithout, const QString &title)
{
    QWidget *over = parent_ && parent_->isVisible() ? parent_ : nullptr;
    QMessageBox box(QMessageBox::Warning, title, prompt, QMessageBox::Retry | QMessageBox::Cancel, over);
    QPushButton *without = box.addButton(goOnWithout, QMessageBox::DestructiveRole);
    box.setDefaultButton(QMessageBox::Retry);
    box.setEscapeButton(QMessageBox::Cancel);
    FitTitle(box, title);
    box.exec();
    if (box.clickedButton() == without)
        return RetryAnswer::GoOnWithout;
    return box.clickedButton() == box.button(QMessageBox::Retry) ? RetryAnswer::Retry : RetryAnswer::Cancel;
}
