#include "gradientlines.h"
#include "gradientmarkup.h"
#include "graphemebreakcases.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <string>

namespace {

constexpr ColorValue Red = 0x0000FF;
constexpr ColorValue Blue = 0xFF0000;

// The smallest block a line can be written through, gathered.
class SmallestBlock final : public MarkupBlock {
public:
    SmallestBlock()
    {
        at = room_.data();
        end = at + room_.size();
    }
    char *HandOn(char *out) override
    {
        if (out > end)
            qFatal("written past the block");
        gathered.append(room_.data(), out - room_.data());
        return room_.data();
    }
    QByteArray gathered;

private:
    std::array<char, MarkupBlock::MinRoom> room_;
};

// The line's markup and line end, or "NotUtf8" / "TooLong".
QByteArray Line(LineFormat format, const std::vector<ColorValue> &stops, const QByteArray &text)
{
    GradientLineWriter writer(format, stops);
    const auto split = writer.CountLine(std::string_view(text.constData(), std::size_t(text.size())));
    if (split != GradientLineWriter::Split::Done)
        return split == GradientLineWriter::Split::NotUtf8 ? "NotUtf8" : "TooLong";
    SmallestBlock block;
    writer.WriteLine(block);
    block.HandOn(block.at);
    return block.gathered;
}

QByteArray Font(const char *hex, const char *character)
{
    return QByteArray("<font color=\"#") + hex + "\">" + character + "</font>";
}

QByteArray Ansi(const char *rgb, const char *character)
{
    return QByteArray("\x1b[38;2;") + rgb + "m" + character;
}

} // namespace

class TestGradientLines : public QObject {
    Q_OBJECT

private slots:
    void writesLines_data();
    void writesLines();
    void placesStops_data();
    void placesStops();
    void matchesTheWindow_data();
    void matchesTheWindow();
    void splitsAsUnicodeSays();
};

void TestGradientLines::writesLines_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<std::vector<ColorValue>>("stops");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    const std::vector<ColorValue> redBlue{Red, Blue};
    const auto font = int(LineFormat::Font), ansi = int(LineFormat::Ansi);
    QTest::newRow("0 characters") << font << redBlue << QByteArray() << QByteArray("\n");
    QTest::newRow("0 characters, ansi") << ansi << redBlue << QByteArray() << QByteArray("\n");
    QTest::newRow("1 character") << font << redBlue << QByteArray("a") << Font("FF0000", "a") + "\n";
    QTest::newRow("2 characters") << font << redBlue << QByteArray("ab")
                                  << Font("FF0000", "a") + Font("0000FF", "b") + "\n";
    QTest::newRow("ansi") << ansi << redBlue << QByteArray("a\xC3\xA9z")
                          << Ansi("255;0;0", "a") + Ansi("128;0;127", "\xC3\xA9") + Ansi("0;0;255", "z") + "\x1b[0m\n";
    QTest::newRow("span escapes, spaces") << int(LineFormat::Span) << redBlue << QByteArray("<  &")
                                          << QByteArray("<span style=\"color:#FF0000\">&lt;</span>"
                                                        "<span style=\"color:#AA0055\"> </span>"
                                                        "<span style=\"color:#5500AA\">&nbsp;</span>"
                                                        "<span style=\"color:#0000FF\">&amp;</span>\n");
    QTest::newRow("minimessage") << int(LineFormat::MiniMessage) << redBlue << QByteArray("\\<")
                                 << QByteArray("<#FF0000>\\\\<#0000FF>\\<\n");
    // Three stops on five characters: at 0, 2 and 4; each stretch by the window's rule.
    QTest::newRow("via") << font << std::vector<ColorValue>{Red, 0x00FF00, Blue} << QByteArray("abcde")
                         << Font("FF0000", "a") + Font("807F00", "b") + Font("00FF00", "c") + Font("00807F", "d")
                                + Font("0000FF", "e") + "\n";
    // Every character a stop.
    QTest::newRow("as many stops as characters")
        << font << std::vector<ColorValue>{Red, 0x00FF00, Blue} << QByteArray("abc")
        << Font("FF0000", "a") + Font("00FF00", "b") + Font("0000FF", "c") + "\n";
    QTest::newRow("fewer characters than stops")
        << font << std::vector<ColorValue>{Red, 0x00FF00, 0x00FFFF, Blue} << QByteArray("ab")
        << Font("FF0000", "a") + Font("0000FF", "b") + "\n";
    QTest::newRow("1 character, stops") << font << std::vector<ColorValue>{Red, 0x00FF00, Blue} << QByteArray("a")
                                        << Font("FF0000", "a") + "\n";
    // A space between two stretches is a character like any other.
    QTest::newRow("spaces across a stop") << font << std::vector<ColorValue>{Red, Red, Red} << QByteArray("x   x")
                                          << Font("FF0000", "x") + Font("FF0000", " ") + Font("FF0000", "&nbsp;")
                                                 + Font("FF0000", "&nbsp;") + Font("FF0000", "x") + "\n";
    // Past the window's 32,768: whole steps of zero, the last exactly the second colour.
    QTest::newRow("40,000 characters") << font << redBlue << QByteArray(40000, 'a')
                                       << Font("FF0000", "a").repeated(39999) + Font("0000FF", "a") + "\n";
    // Every line here goes through a block of the smallest size; this one's
    // one character is longer than the block, and written in pieces.
    const QByteArray marks = QByteArray("\xCC\x81").repeated(300);
    QTest::newRow("a character longer than the block")
        << int(LineFormat::Span) << redBlue << "a&" + marks + "z"
        << QByteArray("<span style=\"color:#FF0000\">a</span><span style=\"color:#80007F\">&amp;") + marks
               + "</span><span style=\"color:#0000FF\">z</span>\n";
    QTest::newRow("overlong") << font << redBlue << QByteArray("a\xC0\xAF") << QByteArray("NotUtf8");
    QTest::newRow("surrogate") << font << redBlue << QByteArray("\xED\xA0\x80") << QByteArray("NotUtf8");
    QTest::newRow("past U+10FFFF") << font << redBlue << QByteArray("\xF4\x90\x80\x80") << QByteArray("NotUtf8");
    QTest::newRow("cut short") << font << redBlue << QByteArray("abc\xE2\x82") << QByteArray("NotUtf8");
    QTest::newRow("stray continuation") << ansi << redBlue << QByteArray("\x80") << QByteArray("NotUtf8");
}

void TestGradientLines::writesLines()
{
    QFETCH(int, format);
    QFETCH(std::vector<ColorValue>, stops);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Line(LineFormat(format), stops, text), expected);
}

void TestGradientLines::placesStops_data()
{
    QTest::addColumn<int>("stops");
    QTest::addColumn<int>("characters");
    QTest::addColumn<std::vector<std::size_t>>("positions");

    QTest::newRow("two") << 2 << 10 << std::vector<std::size_t>{0, 9};
    QTest::newRow("half rounds up") << 3 << 4 << std::vector<std::size_t>{0, 2, 3};
    QTest::newRow("even") << 3 << 5 << std::vector<std::size_t>{0, 2, 4};
    QTest::newRow("four on eleven") << 4 << 11 << std::vector<std::size_t>{0, 3, 7, 10};
    QTest::newRow("one apart") << 5 << 5 << std::vector<std::size_t>{0, 1, 2, 3, 4};
    QTest::newRow("too few characters") << 5 << 4 << std::vector<std::size_t>{0, 3};
    QTest::newRow("one character") << 3 << 1 << std::vector<std::size_t>{0, 0};
    QTest::newRow("none") << 3 << 0 << std::vector<std::size_t>{};
}

void TestGradientLines::placesStops()
{
    QFETCH(int, stops);
    QFETCH(int, characters);
    QFETCH(std::vector<std::size_t>, positions);
    QCOMPARE(PlaceStops(std::size_t(stops), std::size_t(characters)), positions);
}

void TestGradientLines::matchesTheWindow_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("format");
    for (const int count : {3, 4, 17, 255, 256, 1000, 32767, 32768})
        for (const MarkupFormat format : MarkupFormats)
            QTest::addRow("%d %s", count, MarkupFormatText(format)) << count << int(format);
}

// Mixed scripts, emoji sequences, runs of spaces and every escaped unit.
void TestGradientLines::matchesTheWindow()
{
    QFETCH(int, count);
    QFETCH(int, format);
    static const QStringList pieces{"a",
                                    " ",
                                    "  ",
                                    "<",
                                    "&",
                                    "\\",
                                    ">",
                                    "é",
                                    "e\u0301",
                                    "日本",
                                    "Ж",
                                    "\U0001F44D\U0001F3FD",
                                    "\U0001F1E9\U0001F1EA",
                                    "\r",
                                    "\t",
                                    "ก\u0e33",
                                    "\u0938\u094D\u0924\u0947"};
    QRandomGenerator random(quint32(count * 7 + format));
    // No piece joins the one before it into one character.
    QString text;
    for (qsizetype total = 0; total < count;) {
        const QString &piece = pieces[random.bounded(int(pieces.size()))];
        const qsizetype size = TextCharacters(piece).Count();
        if (total + size <= count) {
            text += piece;
            total += size;
        }
    }
    const TextCharacters characters(text);
    const int n = int(characters.Count());
    QCOMPARE(n, count);
    const ColorValue from = ColorValue(random.bounded(0x1000000)), to = ColorValue(random.bounded(0x1000000));
    ColorChannels channels = SplitColors(from, to, n);
    const QByteArray window = BuildMarkup(characters, channels, MarkupFormat(format)) + "\n";
    QCOMPARE(Line(LineFormat(format), {from, to}, MarkupUtf8(text)), window);
}

// Every case of Unicode's GraphemeBreakTest.txt that is valid UTF-8: the
// count that the colours are shared out by is Unicode's, and from three
// characters on the elements are the window's.
void TestGradientLines::splitsAsUnicodeSays()
{
    int cases = 0;
    for (const GraphemeBreakCase &one : ReadGraphemeBreakCases()) {
        const QByteArray utf8 = one.text.toUtf8();
        if (QString::fromUtf8(utf8) != one.text)
            continue; // a lone surrogate is no UTF-8
        GradientLineWriter writer(LineFormat::Font, {Red, Blue});
        QCOMPARE(writer.CountLine(std::string_view(utf8.constData(), std::size_t(utf8.size()))),
                 GradientLineWriter::Split::Done);
        if (writer.CharacterCount() != one.bounds.size() - 1)
            QFAIL(qPrintable("wrong count of " + one.rule));
        ++cases;
        const TextCharacters characters(one.text);
        if (characters.Count() < 3)
            continue; // the window's markup starts at three
        ColorChannels channels = SplitColors(Red, Blue, int(characters.Count()));
        if (Line(LineFormat::Font, {Red, Blue}, utf8) != BuildMarkup(characters, channels) + "\n")
            QFAIL(qPrintable("elements unlike the window's for " + one.rule));
    }
    QVERIFY2(cases > 500, qPrintable(QString::number(cases)));
}

QTEST_APPLESS_MAIN(TestGradientLines)
#include "tst_gradientlines.moc"
