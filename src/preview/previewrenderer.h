#pragma once

#include "colorvalue.h"
#include "gradient.h"
#include "labelarray.h"
#include "textcharacters.h"

#include <QString>

#include <cstdint>

struct PreviewFont {
    QString Name;
    float Size = 0;
    bool Bold = false;
    bool Italic = false;
};

struct PreviewStyle {
    ColorValue BackColor = 0;
    PreviewFont Font;
};

// Builds the preview on a label array, one element per character, and
// clears it again. ShownCount is the highest element that the last build
// loaded, also when that build failed part way; it is the only record of
// which run-time elements exist.
class PreviewRenderer {
public:
    explicit PreviewRenderer(LabelArray &labels) : labels_(labels) {}

    // Needs at least three characters. Red1, Green1 and Blue1 of channels
    // are advanced in place. Throws Overflow past 32,767 characters before
    // any label is touched. Given a gradient, the characters take its
    // colours, as the markup's; the running channels advance all the same.
    void Build(const TextCharacters &characters, ColorChannels &channels, const PreviewStyle &style,
               const Gradient *gradient = nullptr);

    // Leaves element 1 alone, with no caption, on the button face.
    void Clear();

    std::int16_t ShownCount() const { return shownCount_; }

private:
    LabelArray::Element LoadNext(int i, const QString &caption, ColorValue foreColor);
    void UnloadShown();

    LabelArray &labels_;
    std::int16_t shownCount_ = 0;
};

// Gives every element the font and lays them out again edge to edge;
// element 1 stays where it is.
void ApplyPreviewFont(LabelArray &labels, const PreviewFont &font);

void ApplyPreviewBackColor(LabelArray &labels, ColorValue color);
