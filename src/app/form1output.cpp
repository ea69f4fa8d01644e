// The window's output procedures: the input check and the two targets.
#include "form1.h"

#include "gradientmarkup.h"
#include "outputtargets.h"

void Form1::SplitColors(const TextCharacters &characters)
{
    Channels = ::SplitColors(Color1, Color2, characters.Count());
}

bool Form1::CheckInput(const TextCharacters &characters)
{
    if (characters.Count() < 3 || Color1 == NoColor || Color2 == NoColor) {
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
    const TextCharacters characters(Text1->text());
    if (!CheckInput(characters))
        return;
    SplitColors(characters);
    AppendToFile(OutputFileName(), BuildMarkup(characters, Channels));
    MsgBox(QStringLiteral("Done!"), 0);
}

void Form1::MakeClipboardOutput()
{
    const TextCharacters characters(Text1->text());
    if (!CheckInput(characters))
        return;
    SplitColors(characters);
    ReplaceClipboardText(QString::fromUtf8(BuildMarkup(characters, Channels)));
    MsgBox(QStringLiteral("Done! (just press Ctrl+v to paste)"), 0);
}
