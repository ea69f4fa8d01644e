#pragma once

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
