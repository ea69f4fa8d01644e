#pragma once

// huespin --keep-clipboard: reads the content that HandOverClipboard packs
// from standard input, takes the X clipboard with it in a window-less
// process of its own session and serves it until another program takes the
// clipboard, as xclip does. Returns, in the process that was started, once
// the clipboard is held (0) or cannot be (1); 2 when standard input is a
// terminal, where nobody would hand it content.
int KeepClipboard(int argc, char *argv[]);
