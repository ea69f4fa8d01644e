#pragma once

#include "colorvalue.h"
#include "textcharacters.h"

#include <QByteArray>

// The gradient markup: one <font color="#RRGGBB"> element per character of
// the text, UTF-8, with no separators and no escaping. The first character
// takes exactly the first colour, the last exactly the second, the ones
// between start + (k - 1) * step. A space after a space becomes &nbsp; except
// at either end. Red1, Green1 and Blue1 of channels are advanced in place.
// Throws RuntimeError Overflow for more than 32,768 characters, before
// anything is built.
QByteArray BuildMarkup(const TextCharacters &characters, ColorChannels &channels);

// The text in UTF-8 as the markup writes its characters: a lone surrogate,
// which is no character, as U+FFFD.
QByteArray MarkupUtf8(QStringView text);
