// The window's output procedures: the input check and the two targets.
#include "form1.h"

#include "gradientmarkup.h"
#include "graphemecursor.h"
#include "outputtargets.h"

void Form1::SplitColors()
{
    static_cast<ColorChannels &>(*this) = ::SplitColors(Color1, Color2, CountGraphemes(Text1->text()));
}

bool Form1::CheckInput()
{
    if (CountGraphemes(Text1->text()) < 3 || Color1 == NoColor || Color2 == NoColor) {
        MsgBox(QStringLiteral("Not enough data"), 0);
        return false;
    }
    return true;
}

QString Form1::OutputFileName()
{
    return QStringLiteral("output.html");
}

void Form1::MakeFileOutput()
{
    if (!CheckInput())
        return;
    SplitColors();
    AppendToFile(OutputFileName(), BuildMarkup(Text1->text(), *this));
    MsgBox(QStringLiteral("Done!"), 0);
}

void Form1::MakeClipboardOutput()
{
    if (!CheckInput())
        return;
    SplitColors();
    ReplaceClipboardText(QString::fromUtf8(BuildMarkup(Text1->text(), *this)));
    MsgBox(QStringLiteral("Done! (just press Ctrl+v to paste)"), 0);
}
