#pragma once

#include <QString>

// On X11 the clipboard is served by the program that owns it, so what
// Huespin put there would go with it. Called once the event loop has ended:
// when Huespin still owns the clipboard and no clipboard manager runs to take
// the content over, hands it to a process of Huespin's own
// (huespin --keep-clipboard) and waits, a bounded time, until that process
// holds it. Elsewhere (a clipboard manager, Wayland) it does nothing. display
// is the X display named on the command line, if any.
void HandOverClipboard(const QString &display);
