#include "textcharacters.h"

#include <unicode/ubrk.h>

#include <memory>
#include <stdexcept>

namespace {

struct BreakIteratorCloser {
    void operator()(UBreakIterator *iterator) const { ubrk_close(iterator); }
};
using BreakIterator = std::unique_ptr<UBreakIterator, BreakIteratorCloser>;

// Opening an iterator loads its rules; one per thread is kept and given each
// new text.
UBreakIterator *CharacterBreaks(QStringView text)
{
    thread_local BreakIterator iterator;
    UErrorCode status = U_ZERO_ERROR;
    if (!iterator) {
        iterator.reset(ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status));
        if (U_FAILURE(status))
            throw std::runtime_error(std::string("ICU character break iterator: ") + u_errorName(status));
    }
    ubrk_setText(iterator.get(), reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()), &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("ICU character break iterator: ") + u_errorName(status));
    return iterator.get();
}

// Between two ASCII code units there is always a boundary, but between CR and
// LF: no rule of Unicode's joins an ASCII character to the one after it
// otherwise, and none reaches back across a boundary between two of them.
bool BreaksAfterAscii(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (c >= 0x80)
        return false;
    if (i + 1 == text.size())
        return true;
    const char16_t next = text[i + 1].unicode();
    return next < 0x80 && !(c == u'\r' && next == u'\n');
}

} // namespace

void AppendCharacterBounds(QStringView text, qsizetype start, std::vector<qsizetype> &bounds)
{
    const qsizetype size = text.size();
    // At most one boundary a unit: written through a pointer, the vector
    // trimmed to them after.
    const std::size_t first = bounds.size();
    bounds.resize(first + std::size_t(size - start));
    qsizetype *out = bounds.data() + first;
    UBreakIterator *breaks = nullptr;
    for (qsizetype pos = start; pos < size;) {
        if (BreaksAfterAscii(text, pos)) {
            *out++ = ++pos;
            continue;
        }
        if (!breaks)
            breaks = CharacterBreaks(text);
        // The iterator never answers inside a surrogate pair: it walks code
        // points, and takes a lone surrogate as a character of its own.
        // Going on from where the iterator stands costs less than a seek.
        const int32_t next = ubrk_current(breaks) == pos ? ubrk_next(breaks) : ubrk_following(breaks, int32_t(pos));
        pos = next > pos ? next : size;
        *out++ = pos;
    }
    bounds.resize(std::size_t(out - bounds.data()));
}

TextCharacters::TextCharacters(QString text) : text_(std::move(text))
{
    bounds_.reserve(std::size_t(text_.size()) + 1);
    bounds_.push_back(0);
    AppendCharacterBounds(text_, 0, bounds_);
}
