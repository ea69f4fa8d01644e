#include "gradient.h"
#include "gradientmarkup.h"

#include <QRegularExpression>
#include <QTest>

#include <array>

namespace {

constexpr ColorValue Red = 0x0000FF;
constexpr ColorValue Blue = 0xFF0000;

QByteArray Markup(const QString &text, ColorValue color1, ColorValue color2, MarkupFormat format = MarkupFormat::Font,
                  const MarkupOptions &options = {})
{
    const std::array colors{color1, color2};
    return GradientMarkup(TextCharacters(text), EvenGradient(colors), format, options);
}

// The text of each element, with &nbsp; read back as the space it stands for.
QStringList ListElementTexts(const QByteArray &markup)
{
    static const QRegularExpression element(QStringLiteral("<font color=\"#[0-9A-F]{6}\">(.*?)</font>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    QStringList texts;
    for (auto match = element.globalMatch(QString::fromUtf8(markup)); match.hasNext();)
        texts << match.next().captured(1).replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    return texts;
}

QByteArray Element(const char *hex, const char *character)
{
    return QByteArray("<font color=\"#") + hex + "\">" + character + "</font>";
}

QByteArray Element(MarkupFormat format, const QByteArray &hex, const QByteArray &character)
{
    switch (format) {
    case MarkupFormat::Font: return Element(hex, character);
    case MarkupFormat::Span: return "<span style=\"color:#" + hex + "\">" + character + "</span>";
    case MarkupFormat::BBCode: return "[color=#" + hex + "]" + character + "[/color]";
    case MarkupFormat::MiniMessage: return "<#" + hex + ">" + character;
    case MarkupFormat::McHex: return "&#" + hex + character;
    case MarkupFormat::McLegacy:
    case MarkupFormat::McSection: {
        const QByteArray sign = format == MarkupFormat::McLegacy ? "&" : "\u00A7";
        QByteArray element = sign + "x";
        for (const char digit : hex)
            element += sign + digit;
        return element + character;
    }
    case MarkupFormat::McJson: return "{\"text\":\"" + character + "\",\"color\":\"#" + hex + "\"}";
    case MarkupFormat::Custom: break;
    }
    return {};
}

// Red to blue over 16 characters: whole steps of 0x11, so the colours run
// FF0000, EE0011, ... 0000FF.
QByteArray SixteenElements(MarkupFormat format, const QByteArrayList &characters)
{
    QByteArrayList elements;
    for (int k = 0; k < characters.size(); ++k)
        elements << Element(format, QString::asprintf("%02X00%02X", 0xFF - 0x11 * k, 0x11 * k).toLatin1(),
                            characters[k]);
    return format == MarkupFormat::McJson ? "[" + elements.join(',') + "]" : elements.join();
}

} // namespace

class TestGradientMarkup : public QObject {
    Q_OBJECT

private slots:
    void exactMarkup_data();
    void exactMarkup();
    void hexDigits();
    void graphemes_data();
    void graphemes();
    void scripts_data();
    void scripts();
    void loneSurrogates_data();
    void loneSurrogates();
    void middleCharactersFollowTheSteps();
    void placesStops_data();
    void placesStops();
    void blendsAndPositions_data();
    void blendsAndPositions();
    void formatTexts_data();
    void formatTexts();
};

void TestGradientMarkup::exactMarkup_data()
{
    QTest::addColumn<MarkupFormat>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("markup");
    QTest::addColumn<MarkupStyles>("styles");
    QTest::addColumn<bool>("skipSpaces");

    const QByteArray r = "FF0000", m = "80007F", b = "0000FF";
    QTest::newRow("abc") << MarkupFormat::Font << "abc" << Element(r, "a") + Element(m, "b") + Element(b, "c") << MarkupStyles() << false;
    QTest::newRow("single space stays") << MarkupFormat::Font << "a b"
                                        << Element(r, "a") + Element(m, " ") + Element(b, "b") << MarkupStyles() << false;
    QTest::newRow("markup characters as they are")
        << MarkupFormat::Font << "<&>" << Element(r, "<") + Element(m, "&") + Element(b, ">") << MarkupStyles() << false;

    // Steps for four characters: -85, 0, 85.
    const QByteArray r4 = "FF0000", s1 = "AA0055", s2 = "5500AA", b4 = "0000FF";
    QTest::newRow("space after space") << MarkupFormat::Font << "a  b"
                                       << Element(r4, "a") + Element(s1, " ") + Element(s2, "&nbsp;")
                                              + Element(b4, "b") << MarkupStyles() << false;
    QTest::newRow("two spaces at the start")
        << MarkupFormat::Font << "  ab"
        << Element(r4, " ") + Element(s1, "&nbsp;") + Element(s2, "a") + Element(b4, "b") << MarkupStyles() << false;
    QTest::newRow("two spaces at the end")
        << MarkupFormat::Font << "ab  " << Element(r4, "a") + Element(s1, "b") + Element(s2, " ") + Element(b4, " ") << MarkupStyles() << false;
    QTest::newRow("all spaces") << MarkupFormat::Font << "    "
                                << Element(r4, " ") + Element(s1, "&nbsp;") + Element(s2, "&nbsp;") + Element(b4, " ") << MarkupStyles() << false;

    // Every kind of character in each format: the markup characters, a
    // backslash, quotes, runs of spaces at both ends and in the middle, an
    // emoji, a flag, a "<" inside a character and a lone surrogate.
    const QString mixed =
        QString::fromUtf8("  <&>\\\"'  \U0001F600\U0001F1E9\U0001F1EA\u0600<\u0301") + QChar(0xD83D) + "  ";
    const QByteArray emoji = "\U0001F600", flag = "\U0001F1E9\U0001F1EA", fffd = "\uFFFD";
    QTest::newRow("font, every kind") << MarkupFormat::Font << mixed
                                      << SixteenElements(MarkupFormat::Font,
                                                         {" ", "&nbsp;", "<", "&", ">", "\\", "\"", "'", " ", "&nbsp;",
                                                          emoji, flag, "\u0600<\u0301", fffd, " ", " "}) << MarkupStyles() << false;
    QTest::newRow("span, every kind") << MarkupFormat::Span << mixed
                                      << SixteenElements(MarkupFormat::Span,
                                                         {" ", "&nbsp;", "&lt;", "&amp;", "&gt;", "\\", "\"", "'", " ",
                                                          "&nbsp;", emoji, flag, "\u0600&lt;\u0301", fffd, " ", " "}) << MarkupStyles() << false;
    QTest::newRow("bbcode, every kind") << MarkupFormat::BBCode << mixed
                                        << SixteenElements(MarkupFormat::BBCode,
                                                           {" ", " ", "<", "&", ">", "\\", "\"", "'", " ", " ", emoji,
                                                            flag, "\u0600<\u0301", fffd, " ", " "}) << MarkupStyles() << false;
    QTest::newRow("minimessage, every kind")
        << MarkupFormat::MiniMessage << mixed
        << SixteenElements(MarkupFormat::MiniMessage, {" ", " ", "\\<", "&", ">", "\\\\", "\"", "'", " ", " ", emoji,
                                                       flag, "\u0600\\<\u0301", fffd, " ", " "}) << MarkupStyles() << false;
    // Minecraft's codes escape nothing; its JSON escapes as JSON does.
    const QByteArrayList asTheyAre{" ", " ", "<", "&", ">", "\\", "\"", "'", " ", " ", emoji,
                                   flag, "\u0600<\u0301", fffd, " ", " "};
    for (const MarkupFormat format : {MarkupFormat::McHex, MarkupFormat::McLegacy, MarkupFormat::McSection})
        QTest::addRow("%s, every kind", MarkupFormatText(format))
            << format << mixed << SixteenElements(format, asTheyAre) << MarkupStyles() << false;
    QTest::newRow("mc-json, every kind") << MarkupFormat::McJson << mixed
                                         << SixteenElements(MarkupFormat::McJson,
                                                            {" ", " ", "<", "&", ">", "\\\\", "\\\"", "'", " ", " ",
                                                             emoji, flag, "\u0600<\u0301", fffd, " ", " "})
                                         << MarkupStyles() << false;
    QTest::newRow("mc-json, control characters")
        << MarkupFormat::McJson << QStringLiteral("\t\n\x01\x1f")
        << "[" + Element(MarkupFormat::McJson, r4, "\\t") + "," + Element(MarkupFormat::McJson, s1, "\\n") + ","
               + Element(MarkupFormat::McJson, s2, "\\u0001") + "," + Element(MarkupFormat::McJson, b4, "\\u001f")
               + "]"
        << MarkupStyles() << false;

    // Styles: around the text in HTML, BBCode and MiniMessage, in each
    // element in Minecraft's forms; each format leaves out those it has no
    // form for.
    const MarkupStyles all = MarkupStyle::Bold | MarkupStyle::Italic | MarkupStyle::Underline
                             | MarkupStyle::Strikethrough | MarkupStyle::Obfuscated;
    const auto abc = [&](MarkupFormat format, const QByteArray &after = {}) {
        QByteArrayList elements;
        for (const auto &[hex, character] : {std::pair{r, "a"}, {m, "b"}, {b, "c"}})
            elements << (format == MarkupFormat::McJson
                             ? Element(format, hex, character).chopped(1) + after + "}"
                             : Element(format, hex, after + character));
        return format == MarkupFormat::McJson ? "[" + elements.join(',') + "]" : elements.join();
    };
    QTest::newRow("font, every style") << MarkupFormat::Font << "abc"
                                       << "<b><i><u><s>" + abc(MarkupFormat::Font) + "</s></u></i></b>" << all
                                       << false;
    QTest::newRow("span, bold and strikethrough")
        << MarkupFormat::Span << "abc" << "<b><s>" + abc(MarkupFormat::Span) + "</s></b>"
        << (MarkupStyle::Bold | MarkupStyle::Strikethrough) << false;
    QTest::newRow("bbcode, italic and underline")
        << MarkupFormat::BBCode << "abc" << "[i][u]" + abc(MarkupFormat::BBCode) + "[/u][/i]"
        << (MarkupStyle::Underline | MarkupStyle::Italic) << false;
    QTest::newRow("minimessage, every style")
        << MarkupFormat::MiniMessage << "abc"
        << "<bold><italic><underlined><strikethrough><obfuscated>" + abc(MarkupFormat::MiniMessage) << all << false;
    QTest::newRow("mc-hex, bold and obfuscated")
        << MarkupFormat::McHex << "abc" << abc(MarkupFormat::McHex, "&l&k")
        << (MarkupStyle::Obfuscated | MarkupStyle::Bold) << false;
    QTest::newRow("mc-legacy, every style")
        << MarkupFormat::McLegacy << "abc" << abc(MarkupFormat::McLegacy, "&l&o&n&m&k") << all << false;
    QTest::newRow("mc-section, italic")
        << MarkupFormat::McSection << "abc" << abc(MarkupFormat::McSection, "\u00A7o")
        << MarkupStyles(MarkupStyle::Italic) << false;
    QTest::newRow("mc-json, bold and underline")
        << MarkupFormat::McJson << "abc" << abc(MarkupFormat::McJson, ",\"bold\":true,\"underlined\":true")
        << (MarkupStyle::Bold | MarkupStyle::Underline) << false;
    // The template's placeholders and braces; it takes no styles.
    QTest::newRow("custom, template")
        << MarkupFormat::Custom << "abc"
        << QByteArray("<FF0000|ff0000|255,0,0>{a}<80007F|80007f|128,0,127>{b}<0000FF|0000ff|0,0,255>{c}") << all
        << false;

    // Spaces without colours of their own, still counted by the gradient;
    // the HTML forms' &nbsp; rule holds for them.
    QTest::newRow("font, uncoloured spaces") << MarkupFormat::Font << "a  b"
                                             << Element(r4, "a") + " &nbsp;" + Element(b4, "b") << MarkupStyles()
                                             << true;
    QTest::newRow("bbcode, uncoloured spaces and bold")
        << MarkupFormat::BBCode << "    " << QByteArray("[b]    [/b]") << MarkupStyles(MarkupStyle::Bold) << true;
    QTest::newRow("mc-hex, uncoloured spaces") << MarkupFormat::McHex << "a b" << QByteArray("&#FF0000a &#0000FFb")
                                               << MarkupStyles() << true;
    QTest::newRow("mc-json, uncoloured spaces and bold")
        << MarkupFormat::McJson << "a b"
        << QByteArray("[{\"text\":\"a\",\"color\":\"#FF0000\",\"bold\":true},{\"text\":\" \",\"bold\":true},"
                      "{\"text\":\"b\",\"color\":\"#0000FF\",\"bold\":true}]")
        << MarkupStyles(MarkupStyle::Bold) << true;
    QTest::newRow("custom, uncoloured spaces") << MarkupFormat::Custom << "a b"
                                               << QByteArray("<FF0000|ff0000|255,0,0>{a} <0000FF|0000ff|0,0,255>{b}")
                                               << MarkupStyles() << true;
}

void TestGradientMarkup::exactMarkup()
{
    QFETCH(MarkupFormat, format);
    QFETCH(QString, text);
    QFETCH(QByteArray, markup);
    QFETCH(MarkupStyles, styles);
    QFETCH(bool, skipSpaces);
    MarkupOptions options{styles, skipSpaces, *MarkupTemplate::Parse(u"<{HEX}|{hex}|{r},{g},{b}>{{{char}}}")};
    QCOMPARE(Markup(text, Red, Blue, format, options), markup);
}

// Each channel in two upper-case digits, red first, a leading zero kept.
void TestGradientMarkup::hexDigits()
{
    constexpr ColorValue value = 0x00AB09; // red 09, green AB, blue 00
    const QByteArray e = "09AB00";
    QCOMPARE(Markup("xyz", value, value), Element(e, "x") + Element(e, "y") + Element(e, "z"));
}

void TestGradientMarkup::graphemes_data()
{
    QTest::addColumn<QString>("character");

    QTest::newRow("thumbs up, skin tone") << QString::fromUtf8("\U0001F44D\U0001F3FD");
    QTest::newRow("flag") << QString::fromUtf8("\U0001F1E9\U0001F1EA");
    QTest::newRow("ZWJ family") << QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    QTest::newRow("e, combining acute") << QString::fromUtf8("e\u0301");
    QTest::newRow("CR LF") << QStringLiteral("\r\n");
}

// Each cluster is one character: one element, its bytes whole, in the middle
// of ASCII and next to a copy of itself.
void TestGradientMarkup::graphemes()
{
    QFETCH(QString, character);
    QCOMPARE(TextCharacters(character).Count(), 1);

    const QString text = "a" + character + character + "z";
    QCOMPARE(TextCharacters(text).Count(), 4);
    const QByteArray utf8 = character.toUtf8();
    const QByteArray expected =
        Element("FF0000", "a") + Element("AA0055", utf8) + Element("5500AA", utf8) + Element("0000FF", "z");
    QCOMPARE(Markup(text, Red, Blue), expected);
}

void TestGradientMarkup::scripts_data()
{
    QTest::addColumn<QString>("clusters"); // the characters, with "|" between them

    // ICU keeps a conjunct (consonant, virama, consonant) together, as
    // Unicode 15.1 does.
    QTest::newRow("devanagari, emoji") << QStringLiteral("न|म|स्ते| |😀");
    QTest::newRow("mark after a full stop") << QStringLiteral("W|.्");
    QTest::newRow("flag after an emoji") << QStringLiteral("😀|🇩🇪|x");
    QTest::newRow("flags side by side") << QStringLiteral("🇩🇪|🇫🇷|🇯🇵");
    QTest::newRow("thai") << QStringLiteral("ส|วั|ส|ดี| |น้ำ");
    QTest::newRow("keycaps") << QStringLiteral("#️⃣|1️⃣|x");
    QTest::newRow("zwj family") << QStringLiteral("a|👨‍👩‍👧|👨‍👩‍👧|z");
    QTest::newRow("rainbow flag") << QStringLiteral("🏳️‍🌈| |🏳️‍🌈");
    QTest::newRow("hangul jamo") << QStringLiteral("한|글|ᄀ각|a");
    QTest::newRow("CR LF in ASCII") << QStringLiteral("a|\r\n|b|\n|\r");
}

// Each cluster is one element, whole, whatever the text around it.
void TestGradientMarkup::scripts()
{
    QFETCH(QString, clusters);
    const QStringList expected = clusters.split(u'|');
    const QString text = expected.join(QString());

    const TextCharacters characters(text);
    QCOMPARE(characters.Count(), expected.size());
    const QByteArray markup = Markup(text, Red, Blue);
    QVERIFY(!QString::fromUtf8(markup).contains(QChar::ReplacementCharacter));
    QCOMPARE(ListElementTexts(markup), expected);
}

void TestGradientMarkup::loneSurrogates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("elements");

    const QString high(QChar(0xD83D)), low(QChar(0xDE00)), fffd(QChar::ReplacementCharacter);
    QTest::newRow("high alone") << "a" + high + "b" << QStringList{"a", fffd, "b"};
    QTest::newRow("low alone") << "a" + low + "b" << QStringList{"a", fffd, "b"};
    QTest::newRow("low before high") << low + high + "x" << QStringList{fffd, fffd, "x"};
    QTest::newRow("high at the end") << "ab" + high << QStringList{"a", "b", fffd};
}

// A lone surrogate is no character, but it stays one element, written as
// U+FFFD, and its neighbours are untouched.
void TestGradientMarkup::loneSurrogates()
{
    QFETCH(QString, text);
    QFETCH(QStringList, elements);
    QCOMPARE(ListElementTexts(Markup(text, Red, Blue)), elements);
}

void TestGradientMarkup::middleCharactersFollowTheSteps()
{
    const QString text(300, u'x');
    const ColorValue from = 0x10F020, to = 0xE0107F;
    const ColorChannels start = SplitColors(from, to, text.size());
    const QString markup = QString::fromUtf8(Markup(text, from, to));

    static const QRegularExpression element(R"re(<font color="#([0-9A-F]{6})">x</font>)re");
    auto match = element.globalMatch(markup);
    QStringList colours;
    while (match.hasNext())
        colours << match.next().captured(1);
    QCOMPARE(colours.size(), text.size());
    QCOMPARE(colours.first(), QStringLiteral("20F010"));
    QCOMPARE(colours.last(), QStringLiteral("7F10E0"));
    for (int k = 1; k < colours.size() - 1; ++k) {
        const int red = start.Red1 + k * start.StepRed;
        const int green = start.Green1 + k * start.StepGreen;
        const int blue = start.Blue1 + k * start.StepBlue;
        QCOMPARE(colours[k], QString::asprintf("%02X%02X%02X", red, green, blue));
    }
}

void TestGradientMarkup::placesStops_data()
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

void TestGradientMarkup::placesStops()
{
    QFETCH(int, stops);
    QFETCH(int, characters);
    QFETCH(std::vector<std::size_t>, positions);
    QCOMPARE(PlaceStops(std::size_t(stops), std::size_t(characters)), positions);
}

void TestGradientMarkup::blendsAndPositions_data()
{
    QTest::addColumn<QByteArray>("stops");
    QTest::addColumn<QByteArray>("blend");
    QTest::addColumn<QStringList>("colours");

    // The blends from Python's colorsys and the published OKLab matrices.
    QTest::newRow("oklab, red to green") << QByteArray("#FF0000,#00FF00") << QByteArray("oklab")
                                         << QStringList{"FF0000", "ED7300", "D0A800", "A0D500", "00FF00"};
    QTest::newRow("oklab, red to blue") << QByteArray("#FF0000,#0000FF") << QByteArray("oklab")
                                        << QStringList{"FF0000", "C6496D", "8C53A2", "5147D2", "0000FF"};
    QTest::newRow("hsv, the short way") << QByteArray("#FF0000,#0000FF") << QByteArray("hsv")
                                        << QStringList{"FF0000", "FF0080", "FF00FF", "8000FF", "0000FF"};
    QTest::newRow("hsv-long") << QByteArray("#FF0000,#0000FF") << QByteArray("hsv-long")
                              << QStringList{"FF0000", "FFFF00", "00FF00", "00FFFF", "0000FF"};
    QTest::newRow("hsv-long, once round") << QByteArray("#FF0000,#FF0000") << QByteArray("hsv-long")
                                          << QStringList{"FF0000", "80FF00", "00FFFF", "8000FF", "FF0000"};
    QTest::newRow("hsv, a grey takes the hue")
        << QByteArray("#808080,#0000FF") << QByteArray("hsv") << QStringList{"808080", "6060C0", "0000FF"};
    // Positions: a stop at 25% of five characters sits on the second.
    QTest::newRow("position") << QByteArray("#FF0000,#00FF00@25,#0000FF") << QByteArray("classic")
                              << QStringList{"FF0000", "00FF00", "00AA55", "0055AA", "0000FF"};
    QTest::newRow("two stops on one character: the later")
        << QByteArray("#FF0000,#00FF00@50,#FFFF00@50,#0000FF") << QByteArray("classic")
        << QStringList{"FF0000", "807F00", "FFFF00", "80807F", "0000FF"};
    QTest::newRow("a position below an earlier one is raised")
        << QByteArray("#FF0000,#00FF00@60,#FFFF00@20,#0000FF") << QByteArray("classic")
        << QStringList{"FF0000", "AA5500", "55AA00", "FFFF00", "80807F", "0000FF"};
    QTest::newRow("unpositioned between positioned")
        << QByteArray("#FF0000,#00FF00,#0000FF@80,#000000") << QByteArray("classic")
        << QStringList{"FF0000", "807F00", "00FF00", "00807F", "0000FF", "000000"};
}

// Each character's colour, through stops with positions and the blends.
void TestGradientMarkup::blendsAndPositions()
{
    QFETCH(QByteArray, stops);
    QFETCH(QByteArray, blend);
    QFETCH(QStringList, colours);
    const Gradient gradient{*ParseStopsText(stops.toStdString()), *ParseBlend(blend.toStdString())};
    GradientColors gradientColours(gradient, std::size_t(colours.size()));
    GradientColors::Walk walk;
    QStringList got;
    for (qsizetype i = 0; i < colours.size(); ++i) {
        const Rgb rgb = gradientColours.Next(walk);
        got << QString::asprintf("%02X%02X%02X", rgb.red, rgb.green, rgb.blue);
    }
    QCOMPARE(got, colours);
    QCOMPARE(StopsText(gradient.stops), stops.toStdString());
}

void TestGradientMarkup::formatTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<MarkupFormat>>("format");

    QTest::newRow("font") << "font" << std::optional(MarkupFormat::Font);
    QTest::newRow("span") << "span" << std::optional(MarkupFormat::Span);
    QTest::newRow("bbcode") << "bbcode" << std::optional(MarkupFormat::BBCode);
    QTest::newRow("minimessage") << "minimessage" << std::optional(MarkupFormat::MiniMessage);
    QTest::newRow("capital") << "Font" << std::optional<MarkupFormat>();
    QTest::newRow("space after") << "span " << std::optional<MarkupFormat>();
    QTest::newRow("NUL after") << QStringLiteral("span\0x") << std::optional<MarkupFormat>();
    QTest::newRow("empty") << "" << std::optional<MarkupFormat>();
}

// Only a format's own text gives it, from the window's text or the
// settings' bytes alike, and each format's text gives it back.
void TestGradientMarkup::formatTexts()
{
    QFETCH(QString, text);
    QFETCH(std::optional<MarkupFormat>, format);
    QCOMPARE(ParseMarkupFormat(text), format);
    QCOMPARE(ParseMarkupFormat(text.toStdString()), format);
    if (format)
        QCOMPARE(QString::fromLatin1(MarkupFormatText(*format)), text);
}

QTEST_GUILESS_MAIN(TestGradientMarkup)
#include "tst_gradientmarkup.moc"
