#pragma once

#include <QFile>
#include <QString>

#include <vector>

// A case of Unicode's GraphemeBreakTest.txt: its text and where its
// characters start and end ("÷" in the file), in UTF-16 units.
struct GraphemeBreakCase {
    QString rule;
    QString text;
    std::vector<qsizetype> bounds;
};

// Every case of the file in Debian's unicode-data; none when it is missing.
inline std::vector<GraphemeBreakCase> ReadGraphemeBreakCases()
{
    QFile file(QStringLiteral(UNICODE_DATA_DIR "/auxiliary/GraphemeBreakTest.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    std::vector<GraphemeBreakCase> cases;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        GraphemeBreakCase one{line.section(u'#', 0, 0).trimmed(), {}, {}};
        if (one.rule.isEmpty())
            continue;
        for (const QString &token : one.rule.split(u' ', Qt::SkipEmptyParts)) {
            if (token == u"÷") {
                one.bounds.push_back(one.text.size());
            } else if (token != u"×") {
                const char32_t c = token.toUInt(nullptr, 16);
                one.text += QString::fromUcs4(&c, 1);
            }
        }
        cases.push_back(std::move(one));
    }
    return cases;
}
