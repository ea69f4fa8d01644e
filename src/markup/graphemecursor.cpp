#include "graphemecursor.h"

// A run ends where a plain character follows a simple one, so both of its
// edges are cluster boundaries and the finder can work on the run alone.
QStringView GraphemeCursor::NextInRun()
{
    const qsizetype start = pos_;
    if (start >= runEnd_) {
        runStart_ = start;
        runEnd_ = start + 1;
        while (runEnd_ < text_.size() && !(IsSimple(text_[runEnd_ - 1].unicode()) && IsPlainAt(runEnd_)))
            ++runEnd_;
        run_.emplace(QTextBoundaryFinder::Grapheme, text_.data() + runStart_, runEnd_ - runStart_,
                     runBuffer_.data(), qsizetype(runBuffer_.size()));
    }
    pos_ = runStart_ + run_->toNextBoundary();
    return text_.sliced(start, pos_ - start);
}

qsizetype CountGraphemes(QStringView text)
{
    GraphemeCursor cursor(text);
    qsizetype count = 0;
    for (; !cursor.AtEnd(); cursor.Next())
        ++count;
    return count;
}
