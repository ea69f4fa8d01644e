// Times the gradient markup of a 32,767-character text against a plain
// memcpy of a buffer of the output's size, and the whole path of an output
// click: split the text once, count, work out the steps, build the markup
// and turn it into the clipboard's text. The classic format first, then the
// markup alone in each other format, and the markup in each blend.
#include "gradient.h"
#include "gradientmarkup.h"
#include "textcharacters.h"
#include "windowmarkup.h"

#include <QString>

#include <algorithm>
#include <array>
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

QString MakeText(const QString &pattern, int characters)
{
    QString text;
    const TextCharacters pieces(pattern);
    for (int i = 0; i < characters; ++i)
        text += pieces[i % pieces.Count()];
    return text;
}

constexpr int Rounds = 300;

double CopyMicroseconds(qsizetype size)
{
    std::vector<char> source(std::size_t(size), 'x'), target(source.size());
    return BestMicroseconds(Rounds, [&] {
        std::memcpy(target.data(), source.data(), source.size());
        asm volatile("" : : "r"(target.data()) : "memory");
    });
}

double BuildMicroseconds(const TextCharacters &characters, MarkupFormat format, QByteArray &markup)
{
    return BestMicroseconds(Rounds, [&] {
        ColorChannels channels = SplitColors(0x0000FF, 0xFF8000, characters.Count());
        markup = BuildMarkup(characters, channels, format);
    });
}

void Measure(const char *name, const QString &text)
{
    constexpr int rounds = Rounds;
    const TextCharacters characters(text);
    QByteArray markup;
    const double build = BuildMicroseconds(characters, MarkupFormat::Font, markup);
    const double copy = CopyMicroseconds(markup.size());

    const double split = BestMicroseconds(rounds, [&] {
        const TextCharacters again(text);
        asm volatile("" : : "r"(&again) : "memory");
    });

    QString clipboardText;
    const double click = BestMicroseconds(rounds, [&] {
        const TextCharacters split(text);
        if (split.Count() < 3)
            return;
        ColorChannels channels = SplitColors(0x0000FF, 0xFF8000, split.Count());
        clipboardText = QString::fromUtf8(BuildMarkup(split, channels));
    });

    std::printf("%-6s %6lld characters, %8lld bytes: markup %7.1f us, memcpy %6.1f us, ratio %5.1f; "
                "split %7.1f us; click path %6.3f ms\n",
                name, static_cast<long long>(characters.Count()), static_cast<long long>(markup.size()), build, copy,
                build / copy, split, click / 1000);

    for (const MarkupFormat format : MarkupFormats) {
        if (format == MarkupFormat::Font)
            continue;
        // The template of the custom format: a colour tag before each character.
        const MarkupOptions options{{}, false, *MarkupTemplate::Parse(u"<#{HEX}>{char}")};
        const Gradient gradient = EvenGradient(std::array<ColorValue, 2>{0x0000FF, 0xFF8000});
        const double formatBuild =
            BestMicroseconds(Rounds, [&] { markup = GradientMarkup(characters, gradient, format, options); });
        const double formatCopy = CopyMicroseconds(markup.size());
        std::printf("%-6s %-11s %8lld bytes: markup %7.1f us, memcpy %6.1f us, ratio %5.1f\n", name,
                    MarkupFormatText(format), static_cast<long long>(markup.size()), formatBuild, formatCopy,
                    formatBuild / formatCopy);
    }

    // Each blend against the classic one, through a stop between.
    const auto blendMicroseconds = [&](Blend blend) {
        const Gradient gradient{{{0x0000FF, {}}, {0x00FF00, {}}, {0xFF8000, {}}}, blend};
        return BestMicroseconds(Rounds, [&] { markup = GradientMarkup(characters, gradient); });
    };
    const double classic = blendMicroseconds(Blend::Classic);
    for (const Blend blend : Blends) {
        const double time = blendMicroseconds(blend);
        std::printf("%-6s blend %-8s markup %7.1f us, %4.2fx the classic blend\n", name, BlendText(blend), time,
                    time / classic);
    }
}

} // namespace

int main()
{
    Measure("ascii", MakeText("The quick brown fox jumps over the lazy dog.  ", 32767));
    Measure("mixed", MakeText(QString::fromUtf8("Gr\u00fc\u00dfe e\u0301 \U0001F44D\U0001F3FD \U0001F1E9\U0001F1EA "
                                                "\u0928\u092E\u0938\u094D\u0924\u0947 "
                                                "\U0001F468\u200D\U0001F469\u200D\U0001F467 abc"),
                              32767));
}
