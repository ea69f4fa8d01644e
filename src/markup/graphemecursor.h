#pragma once

#include <QStringView>
#include <QTextBoundaryFinder>

#include <array>
#include <optional>

// Walks a text one grapheme cluster (one character as a user sees it) at a
// time. Characters that never combine with their neighbours take a fast
// path; the runs between them go through QTextBoundaryFinder, one at a time.
class GraphemeCursor {
public:
    explicit GraphemeCursor(QStringView text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    QStringView Next()
    {
        if (pos_ >= runEnd_ && IsPlainAt(pos_))
            return text_.sliced(pos_++, 1);
        return NextInRun();
    }

    // How many of the characters ahead, short of the last one in the text, are
    // printable ASCII that stand alone; they may be taken as a block with Skip.
    qsizetype PlainAsciiAhead() const
    {
        if (pos_ < runEnd_)
            return 0;
        qsizetype i = pos_;
        while (i + 1 < text_.size() && char16_t(text_[i].unicode() - 0x20) < 0x5F && text_[i + 1].unicode() < 0x80)
            ++i;
        return i - pos_;
    }

    const QChar *Position() const { return text_.data() + pos_; }
    void Skip(qsizetype count) { pos_ += count; }

private:
    // Printable ASCII and the Latin letters U+00C0 to U+024F neither combine
    // with nor take marks from each other; controls, CR LF among them, do not
    // count.
    static bool IsSimple(char16_t c) { return char16_t(c - 0x20) < 0x5F || char16_t(c - 0xC0) < 0x190; }

    // At a cluster boundary, a simple character followed by ASCII or another
    // simple one is a cluster of its own.
    bool IsPlainAt(qsizetype i) const
    {
        if (!IsSimple(text_[i].unicode()))
            return false;
        const char16_t after = i + 1 < text_.size() ? text_[i + 1].unicode() : u'\0';
        return after < 0x80 || IsSimple(after);
    }

    QStringView NextInRun();

    QStringView text_;
    qsizetype pos_ = 0;
    std::optional<QTextBoundaryFinder> run_;
    qsizetype runStart_ = 0;
    qsizetype runEnd_ = 0;
    std::array<unsigned char, 256> runBuffer_;
};

qsizetype CountGraphemes(QStringView text);
