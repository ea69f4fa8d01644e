#include "gradientlines.h"
#include "gradientmarkup.h"
#include "textcharacters.h"

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

// The markup and line end of each line of text (split at LF), written by
// one writer; "NotUtf8" / "TooLong" for a line refused.
QByteArray Line(const char *format, const std::vector<ColorValue> &stops, const QByteArray &text)
{
    GradientLineWriter writer(*ParseLineFormat(format), EvenGradient(stops));
    SmallestBlock block;
    for (const QByteArray &line : text.split('\n')) {
        const auto split = writer.CountLine(std::string_view(line.constData(), std::size_t(line.size())));
        if (split != GradientLineWriter::Split::Done)
            return split == GradientLineWriter::Split::NotUtf8 ? "NotUtf8" : "TooLong";
        writer.WriteLine(block);
    }
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
    void piecesMatchTheWholeText_data();
    void piecesMatchTheWholeText();
};

void TestGradientLines::writesLines_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<std::vector<ColorValue>>("stops");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    const std::vector<ColorValue> redBlue{Red, Blue};
    const QByteArray font = "font", ansi = "ansi";
    QTest::newRow("0 characters") << font << redBlue << QByteArray() << QByteArray("\n");
    QTest::newRow("0 characters, ansi") << ansi << redBlue << QByteArray() << QByteArray("\n");
    // Every line of mc-json is one JSON value, an empty line too.
    QTest::newRow("0 characters, mc-json") << QByteArray("mc-json") << redBlue << QByteArray("\nab")
                                           << QByteArray("[]\n[{\"text\":\"a\",\"color\":\"#FF0000\"},"
                                                         "{\"text\":\"b\",\"color\":\"#0000FF\"}]\n");
    QTest::newRow("1 character") << font << redBlue << QByteArray("a") << Font("FF0000", "a") + "\n";
    // Each line is split afresh: nothing of the one before is left over.
    QTest::newRow("a line, then an empty one")
        << font << redBlue << QByteArray("ab\n") << Font("FF0000", "a") + Font("0000FF", "b") + "\n\n";
    // ASCII with a CR goes through the split; a CR alone is a character.
    QTest::newRow("CR alone") << font << redBlue << QByteArray("a\rb")
                              << Font("FF0000", "a") + Font("80007F", "\r") + Font("0000FF", "b") + "\n";
    QTest::newRow("2 characters") << font << redBlue << QByteArray("ab")
                                  << Font("FF0000", "a") + Font("0000FF", "b") + "\n";
    QTest::newRow("ansi") << ansi << redBlue << QByteArray("a\xC3\xA9z")
                          << Ansi("255;0;0", "a") + Ansi("128;0;127", "\xC3\xA9") + Ansi("0;0;255", "z") + "\x1b[0m\n";
    QTest::newRow("span escapes, spaces") << QByteArray("span") << redBlue << QByteArray("<  &")
                                          << QByteArray("<span style=\"color:#FF0000\">&lt;</span>"
                                                        "<span style=\"color:#AA0055\"> </span>"
                                                        "<span style=\"color:#5500AA\">&nbsp;</span>"
                                                        "<span style=\"color:#0000FF\">&amp;</span>\n");
    QTest::newRow("minimessage") << QByteArray("minimessage") << redBlue << QByteArray("\\<")
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
        << QByteArray("span") << redBlue << "a&" + marks + "z"
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
    QFETCH(QByteArray, format);
    QFETCH(std::vector<ColorValue>, stops);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(Line(format.constData(), stops, text), expected);
}

void TestGradientLines::piecesMatchTheWholeText_data()
{
    QTest::addColumn<QString>("text");

    // Characters of one to seven units, none joining the one before it,
    // so that pieces are cut inside every kind.
    QString mixed;
    const QStringList kinds{"a",
                            "\u00e9",
                            "e\u0301",
                            "\u65e5",
                            "\U0001F44D\U0001F3FD",
                            "\U0001F1E9\U0001F1EA",
                            "\r",
                            "\u0938\u094D\u0924\u0947",
                            "\U0001F468\u200D\U0001F469\u200D\U0001F467"};
    for (int i = 0; mixed.size() < 3 * qsizetype(GradientLineWriter::PieceBytes) / 2; ++i)
        mixed += kinds[(i * 7) % kinds.size()];
    QTest::newRow("mixed scripts over several pieces") << mixed;
    // One character longer than a piece, between two others.
    QTest::newRow("a character longer than a piece")
        << "x" + QString(qsizetype(GradientLineWriter::PieceBytes), QChar(0x0301)) + "y";
}

// A line cut into pieces has the characters, and the markup, of the whole.
void TestGradientLines::piecesMatchTheWholeText()
{
    QFETCH(QString, text);
    const std::vector<ColorValue> stops{Red, 0x00FF00, Blue};
    const QByteArray whole = GradientMarkup(TextCharacters(text), std::span(stops), MarkupFormat::Span) + "\n";
    QCOMPARE(Line("span", stops, text.toUtf8()), whole);
}

QTEST_APPLESS_MAIN(TestGradientLines)
#include "tst_gradientlines.moc"
