// The markup's format: the output button's menu that chooses it.
#include "form1.h"

#include "windowmarkup.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>

void Form1::CreateFormatMenu()
{
    formatMenu_ = new QMenu(tr("Output format"), this);
    formatMenu_->setObjectName(QStringLiteral("FormatMenu"));
    formatMenu_->setAccessibleName(tr("Output format"));
    formatMenu_->setWindowTitle(tr("Output format"));
    auto *choices = new QActionGroup(formatMenu_);
    for (const MarkupFormat format : MarkupFormats) {
        QAction *action = formatMenu_->addAction(MarkupFormatName(format));
        action->setCheckable(true);
        action->setData(QString::fromLatin1(MarkupFormatText(format)));
        choices->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, format] { RunEvent([this, format] { ChooseFormat(format); }); });
    }
}

void Form1::ShowFormatMenu(const QPoint &position)
{
    for (QAction *action : formatMenu_->actions())
        action->setChecked(action->data().toString() == QLatin1String(MarkupFormatText(outputFormat_)));
    formatMenu_->popup(Command3->mapToGlobal(position));
}

void Form1::ChooseFormat(MarkupFormat format)
{
    outputFormat_ = format;
    ShowOutputTarget();
}
