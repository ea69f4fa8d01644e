// Choosing the two gradient colours and swapping them.
#include "form1.h"

#include "commondialog.h"
#include "shape.h"

void Form1::ChooseColor1()
{
    ChooseColor(Color1, *Shape1);
}

void Form1::ChooseColor2()
{
    ChooseColor(Color2, *Shape2);
}

// The dialog starts from the colour already chosen, else from its last one.
// A cancelled dialog keeps everything as it was.
void Form1::ChooseColor(ColorValue &color, Shape &swatch)
{
    ResetPreview();
    const std::optional<ColorValue> chosen =
        CommonDialog1.ShowColor(color == NoColor ? std::nullopt : std::optional<ColorValue>(color));
    if (!chosen)
        return;
    color = *chosen;
    swatch.ShowColor(color);
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
