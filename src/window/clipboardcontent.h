#pragma once

#include <QByteArray>
#include <QString>

// Replaces whatever the clipboard holds with the text. Throws RuntimeError 521
// when there is no clipboard.
void ReplaceClipboardText(const QString &text);

// As ReplaceClipboardText, with an HTML flavour beside the text unless html
// is empty.
void ReplaceClipboardContent(const QString &text, const QByteArray &html);

// The markup as a fragment that a rich editor reads as HTML in UTF-8.
QByteArray HtmlFragment(const QByteArray &markup);
