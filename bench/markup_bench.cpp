// Times the gradient markup of a 32,767-character text against a plain
// memcpy of a buffer of the output's size.
#include "gradientmarkup.h"
#include "graphemecursor.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double BestMicroseconds(int rounds, Work &&work)
{
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return best;
}

QString MakeText(const QString &pattern, int graphemes)
{
    QString text;
    GraphemeCursor cursor(pattern);
    std::vector<QStringView> pieces;
    while (!cursor.AtEnd())
        pieces.push_back(cursor.Next());
    for (int i = 0; i < graphemes; ++i)
        text += pieces[std::size_t(i) % pieces.size()];
    return text;
}

void Measure(const char *name, const QString &text)
{
    constexpr int rounds = 300;
    const qsizetype count = CountGraphemes(text);
    QByteArray markup;
    const double build = BestMicroseconds(rounds, [&] {
        ColorChannels channels = SplitColors(0x0000FF, 0xFF8000, count);
        markup = BuildMarkup(text, channels);
    });

    std::vector<char> source(std::size_t(markup.size()), 'x'), target(source.size());
    const double copy = BestMicroseconds(rounds, [&] {
        std::memcpy(target.data(), source.data(), source.size());
        asm volatile("" : : "r"(target.data()) : "memory");
    });
    std::printf("%-6s %6lld characters, %8lld bytes: markup %8.1f us, memcpy %6.1f us, ratio %5.1f\n", name,
                static_cast<long long>(count), static_cast<long long>(markup.size()), build, copy, build / copy);
}

} // namespace

int main()
{
    Measure("ascii", MakeText("The quick brown fox jumps over the lazy dog.  ", 32767));
    Measure("mixed", MakeText(QString::fromUtf8("Gr\u00fc\u00dfe e\u0301 \U0001F44D\U0001F3FD \U0001F1E9\U0001F1EA "
                                                "\U0001F468\u200D\U0001F469\u200D\U0001F467 abc"),
                              32767));
}
