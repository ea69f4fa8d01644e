// The split into characters held to Unicode's own conformance files, and a
// generated corpus of mixed texts through the split and the markup.
#include "gradientmarkup.h"
#include "graphemebreakcases.h"
#include "textcharacters.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <array>

#include <unicode/ubrk.h>

#include <vector>

namespace {

const QString UnicodeData = QStringLiteral(UNICODE_DATA_DIR);

std::vector<qsizetype> ListBounds(const TextCharacters &characters)
{
    std::vector<qsizetype> bounds{0};
    for (qsizetype i = 0; i < characters.Count(); ++i)
        bounds.push_back(bounds.back() + characters[i].size());
    return bounds;
}

// The boundaries as ICU's character iterator gives them, walked from the
// start with no shortcut: the reference for the split's ASCII fast path.
std::vector<qsizetype> ListIcuBounds(const QString &text)
{
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator *breaks =
        ubrk_open(UBRK_CHARACTER, "", reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()), &status);
    std::vector<qsizetype> bounds;
    for (int32_t pos = ubrk_first(breaks); pos != UBRK_DONE; pos = ubrk_next(breaks))
        bounds.push_back(pos);
    ubrk_close(breaks);
    if (text.isEmpty())
        bounds = {0};
    return bounds;
}

QStringList ReadLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n');
}

QString FromCodePoint(const QString &hex)
{
    const char32_t c = hex.toUInt(nullptr, 16);
    return QString::fromUcs4(&c, 1);
}

// Pieces that meet every rule of grapheme clusters: controls and CR LF,
// marks, Indic and Thai, Hangul jamo, emoji with modifiers, ZWJ and
// variation selectors, regional indicators, keycaps, prepended marks.
const QStringList CorpusPieces = {
    "a",
    "Z",
    "7",
    " ",
    "  ",
    ".",
    "<",
    "&",
    "\r",
    "\n",
    "\r\n",
    "\t",
    "é",
    "e\u0301",
    "\u0301",
    "\u200D",
    "\uFE0F",
    "\u20E3",
    "नमस्ते",
    "\u094D",
    "क्षि",
    "สวัสดี",
    "น้ำ",
    "\u0E33",
    "\u1100",
    "\u1161",
    "\u11A8",
    "한",
    "각",
    "😀",
    "👍🏽",
    "🏽",
    "👨‍👩‍👧",
    "🏳️‍🌈",
    "🇩",
    "🇪",
    "🇩🇪",
    "#️⃣",
    "1",
    "\u0600",
    "\u0915",
    "中文",
    "Ω",
    "\U0001D11E",
    "\u00AD",
    "\uFEFF",
};

QString GenerateText(QRandomGenerator &random)
{
    QString text;
    const int pieces = random.bounded(1, 24);
    for (int i = 0; i < pieces; ++i)
        text += CorpusPieces[random.bounded(int(CorpusPieces.size()))];
    return text;
}

} // namespace

class TestTextCharacters : public QObject {
    Q_OBJECT

private slots:
    void graphemeBreakTest();
    void emojiStayWhole();
    void generatedTexts();
};

// Every case of Unicode's GraphemeBreakTest.txt: "÷" marks a boundary, "×"
// none, between code points given in hex.
void TestTextCharacters::graphemeBreakTest()
{
    const std::vector<GraphemeBreakCase> cases = ReadGraphemeBreakCases();
    for (const GraphemeBreakCase &one : cases)
        if (ListBounds(TextCharacters(one.text)) != one.bounds)
            QFAIL(qPrintable("wrong split of " + one.rule));
    QCOMPARE(cases.size(), 602u);
}

// Every fully-qualified emoji of emoji-test.txt is one character, alone and
// between copies of itself and letters.
void TestTextCharacters::emojiStayWhole()
{
    const QStringList lines = ReadLines(UnicodeData + "/emoji/emoji-test.txt");
    QVERIFY2(!lines.isEmpty(), "emoji-test.txt is missing (Debian's unicode-data)");
    int sequences = 0;
    for (const QString &line : lines) {
        if (line.section(u'#', 0, 0).section(u';', 1, 1).trimmed() != u"fully-qualified")
            continue;
        QString emoji;
        for (const QString &hex : line.section(u';', 0, 0).split(u' ', Qt::SkipEmptyParts))
            emoji += FromCodePoint(hex);
        const TextCharacters characters("a" + emoji + emoji + "z");
        if (characters.Count() != 4 || characters[1] != emoji || characters[2] != emoji)
            QFAIL(qPrintable("split inside " + line));
        ++sequences;
    }
    QVERIFY2(sequences > 3600, qPrintable(QString::number(sequences)));
}

// Thousands of seeded mixed texts: the split is ICU's own walk, no boundary
// falls inside a surrogate pair, and the markup holds one element per
// character, valid UTF-8, whose texts joined give back the input.
void TestTextCharacters::generatedTexts()
{
    static const QRegularExpression element(QStringLiteral("<font color=\"#[0-9A-F]{6}\">(.*?)</font>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    QRandomGenerator random(20261209);
    for (int round = 0; round < 5000; ++round) {
        const QString text = GenerateText(random);
        const TextCharacters characters(text);
        const std::vector<qsizetype> bounds = ListBounds(characters);
        QCOMPARE(bounds.back(), text.size());
        if (bounds != ListIcuBounds(text))
            QFAIL(qPrintable("split differs from ICU's in " + text.toUtf8().toPercentEncoding()));
        for (const qsizetype bound : bounds)
            if (bound > 0 && bound < text.size() && text[bound].isLowSurrogate() && text[bound - 1].isHighSurrogate())
                QFAIL(qPrintable("boundary inside a surrogate pair in " + text.toUtf8().toPercentEncoding()));
        if (characters.Count() < 2)
            continue;

        const QByteArray markup = GradientMarkup(characters, std::array<ColorValue, 2>{0x0000FF, 0xFF8000});
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(markup);
        QVERIFY(!decoder.hasError());
        QStringList texts;
        for (auto match = element.globalMatch(decoded); match.hasNext();)
            texts << match.next().captured(1).replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
        QCOMPARE(texts.size(), characters.Count());
        QCOMPARE(texts.join(QString()), text);
    }
}

QTEST_GUILESS_MAIN(TestTextCharacters)
#include "tst_textcharacters.moc"
