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

} // namespace

void AppendCharacterBounds(QStringView text, qsizetype start, std::vector<qsizetype> &bounds)
{
    const qsizetype size = text.size();
    // At most one boundary a unit: written through a pointer, the vector
    // trimmed to them after.
    const std::size_t first = bounds.size();
    bounds.resize(first + std::size_t(size - start));
    qsizetype *out = bounds.data() + first;
    const char16_t *units = text.utf16();
    UBreakIterator *breaks = nullptr;
    for (qsizetype pos = start; pos < size;) {
        // Between two ASCII units there is always a boundary, but in CR LF:
        // no rule of Unicode's joins an ASCII character to the one after it
        // otherwise, and none reaches back across a boundary between two of them.
        while (pos + 1 < size && units[pos] < 0x80 && units[pos + 1] < 0x80) {
            pos += 1 + qsizetype(units[pos] == u'\r' && units[pos + 1] == u'\n');
            *out++ = pos;
        }
        if (pos + 1 == size && units[pos] < 0x80) {
            *out++ = ++pos;
            break;
        }
        if (pos == size)
            break;
        if (!breaks)
            breaks = CharacterBreaks(text);
        // The iterator never answers inside a surrogate pair: it walks code
        // points, and takes a lone surrogate as a character of its own.
        const int32_t next = ubrk_following(breaks, int32_t(pos));
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
