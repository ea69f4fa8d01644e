// Choosing the two gradient colours and swapping them.
#include "form1.h"

namespace {

// The dialog starts from a colour already chosen, else from its last one.
std::optional<ColorValue> ChosenColor(ColorValue color)
{
    return color == NoColor ? std::nullopt : std::optional<ColorValue>(color);
}

} // namespace

// A cancelled dialog keeps everything as it was.
void Form1::ChooseColor1()
{
    ResetPreview();
    const std::optional<ColorValue> chosen = CommonDialog1.ShowColor(ChosenColor(Color1));
    if (!chosen)
        return;
    Color1 = *chosen;
    Shape1->ShowColor(Color1);
}

void Form1::ChooseColor2()
{
    ResetPreview();
    const std::optional<ColorValue> chosen = CommonDialog1.ShowColor(ChosenColor(Color2));
    if (!chosen)
        return;
    Color2 = *chosen;
    Shape2->ShowColor(Color2);
}

void Form1::SwapColors()
{
    ResetPreview();
    if (Color1 < 0 || Color2 < 0)
        return;
    std::swap(Color1, Color2);
    Shape1->SetBackColor(Color1);
    Shape2->SetBackColor(Color2);
}
