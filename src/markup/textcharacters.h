#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// A text split once into its characters as a user sees them: Unicode's
// extended grapheme clusters, as ICU's character break iterator finds them
// over the whole text. The count, the markup and the preview all read this
// one split, so they cannot disagree on what a character is.
class TextCharacters {
public:
    explicit TextCharacters(QString text);

    qsizetype Count() const { return qsizetype(bounds_.size()) - 1; }

    // Character i, counted from 0.
    QStringView operator[](qsizetype i) const
    {
        return QStringView(text_).sliced(bounds_[std::size_t(i)],
                                         bounds_[std::size_t(i) + 1] - bounds_[std::size_t(i)]);
    }

    const QString &Text() const { return text_; }

private:
    QString text_;
    std::vector<qsizetype> bounds_; // offsets of every boundary, 0 and the end included
};
