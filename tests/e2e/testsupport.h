#pragma once

#include "huespinsession.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#define START(session) QVERIFY2((session).Start(), qPrintable((session).Failure()))
#define CHECKED(call, session) QVERIFY2((call), qPrintable((session).Failure()))

// The column of the leftmost pixel of exactly that colour, or -1.
int FindLeftmostPixel(const QImage &image, QRect area, const QColor &color);

// Where a test leaves a file to look at afterwards.
QString MakeArtifactPath(const QString &name);

// Clicks Exit; true once the program has ended cleanly.
bool ExitAndWait(HuespinSession &session);
