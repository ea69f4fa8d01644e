// Choosing the two gradient colours and swapping them.
#include "form1.h"

// A cancelled dialog keeps everything as it was.
void Form1::ChooseColor1()
{
    ResetPreview();
    if (Color1 != NoColor)
        CommonDialog1->Color = Color1;
    CommonDialog1->Flags = CommonDialogFlags::ColorRgbInit | CommonDialogFlags::ColorFullOpen;
    if (!CommonDialog1->ShowColor())
        return;
    Color1 = CommonDialog1->Color;
    Shape1->ShowColor(Color1);
}

void Form1::ChooseColor2()
{
    if (Color2 != NoColor)
        CommonDialog1->Color = Color2;
    ResetPreview();
    CommonDialog1->Flags = CommonDialogFlags::ColorRgbInit | CommonDialogFlags::ColorFullOpen;
    if (!CommonDialog1->ShowColor())
        return;
    Color2 = CommonDialog1->Color;
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
