#include "clipboardcontent.h"

#include "runtimeerror.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void ReplaceClipboardText(const QString &text)
{
    ReplaceClipboardContent(text, {});
}

void ReplaceClipboardContent(const QString &text, const QByteArray &html)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw RuntimeErrors::CantOpenClipboard();
    clipboard->clear();
    auto *content = new QMimeData;
    content->setText(text);
    if (!html.isEmpty())
        content->setData(QStringLiteral("text/html"), html);
    clipboard->setMimeData(content);
}

QByteArray HtmlFragment(const QByteArray &markup)
{
    return "<meta charset=\"utf-8\">" + markup;
}
