#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class HuespinSession;

// How long a test waits for the state it needs: a window, dialog or message
// box to show or close, the focus, a file, selection or hive value to be
// written, a tool or the program to end. Every wait polls and returns as soon
// as the state holds, so the limit only matters when something is wrong; it
// is generous because a loaded machine (two cores, parallel tests, builds)
// takes seconds for what an idle one does at once.
inline constexpr int WaitLimitMs = 30000;

// How long a check that something does not happen (a resize, a repaint)
// watches for it, after a round trip through the program has shown that
// the events that could cause it were handled.
inline constexpr int SettleMs = 1000;

#define START(session) QVERIFY2((session).Start(), qPrintable((session).Failure()))
#define CHECKED(call, session) QVERIFY2((call), qPrintable((session).Failure()))

// The column of the leftmost pixel of exactly that colour, or -1.
int FindLeftmostPixel(const QImage &image, QRect area, const QColor &color);

// Where a test leaves a file to look at afterwards.
QString MakeArtifactPath(const QString &name);

// Clicks Exit; true once the program has ended cleanly.
bool ExitAndWait(HuespinSession &session);
