#pragma once

#include "colorvalue.h"
#include "gradientmarkup.h"
#include "textcharacters.h"

#include <QByteArray>
#include <QString>

// The window's markup of its text, from Red1, Green1 and Blue1 of channels
// to Red2, Green2 and Blue2. The running channels are then advanced in place
// by the steps, once for each character between the first and the last.
// Throws RuntimeError Overflow for more than 32,768 characters, before
// anything is built.
QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels,
                       MarkupFormat format = MarkupFormat::Font);

// The format's name for the window's menu, e.g. "HTML font (classic)".
QString MarkupFormatName(MarkupFormat format);
