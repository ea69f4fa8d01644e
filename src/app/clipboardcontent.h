#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

// The clipboard's content as it goes to the process that keeps it after the
// window ends: every flavour it holds, each a type and its bytes.
QByteArray PackClipboardContent(const QMimeData &content);

// Puts the flavours back into content. False, with content untouched, when
// packed is not what PackClipboardContent makes or holds no flavour.
bool UnpackClipboardContent(const QByteArray &packed, QMimeData &content);

// Replaces whatever the clipboard holds with the text. Throws RuntimeError 521
// when there is no clipboard.
void ReplaceClipboardText(const QString &text);

// As ReplaceClipboardText, with an HTML flavour beside the text unless html
// is empty.
void ReplaceClipboardContent(const QString &text, const QByteArray &html);

// The markup as a fragment that a rich editor reads as HTML in UTF-8.
QByteArray HtmlFragment(const QByteArray &markup);
