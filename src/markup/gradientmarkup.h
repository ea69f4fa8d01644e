#pragma once

#include "colorvalue.h"

#include <QByteArray>
#include <QStringView>

#include <functional>
#include <string_view>

// The gradient markup: one <font color="#RRGGBB"> element per character of
// the text, UTF-8, with no separators and no escaping. The first character
// takes exactly the first colour, the last exactly the second, the ones
// between start + (k - 1) * step. A space after a space becomes &nbsp; except
// at either end. Red1, Green1 and Blue1 of channels are advanced in place.
// Throws RuntimeError Overflow for more than 32,768 characters.
QByteArray BuildMarkup(QStringView text, ColorChannels &channels);

// The same elements handed to sink one at a time, in order.
void ForEachElement(QStringView text, ColorChannels &channels,
                    const std::function<void(std::string_view element)> &sink);
