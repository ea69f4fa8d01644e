#pragma once

#include <QByteArray>

class QMimeData;

// huespin --keep-clipboard: reads the content that HandOverClipboard packs
// from standard input, takes the X clipboard with it in a window-less
// process of its own session and serves it until another program takes the
// clipboard, as xclip does. Returns, in the process that was started, once
// the clipboard is held (0) or cannot be (1); 2 when standard input is a
// terminal, where nobody would hand it content.
int KeepClipboard(int argc, char *argv[]);

// Whether a window of this process owns the X clipboard (the CLIPBOARD
// selection), as the X server tells; false where the display is not X11.
// QClipboard::ownsClipboard() may go on saying yes after another program
// copied: that program's copy clears the clipboard and then takes it, and
// when the selection-clear event is read between the two, the clipboard has
// no owner, which Qt takes for a clear of its own.
bool OwnsX11Clipboard();

// The clipboard's content as it goes to the process that keeps it after the
// window ends: every flavour it holds, each a type and its bytes.
QByteArray PackClipboardContent(const QMimeData &content);

// Puts the flavours back into content. False, with content untouched, when
// packed is not what PackClipboardContent makes or holds no flavour.
bool UnpackClipboardContent(const QByteArray &packed, QMimeData &content);
