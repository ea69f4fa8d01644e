#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Appends to bounds the end of each character of text after start, a
// boundary: Unicode's extended grapheme clusters, as ICU's character break
// iterator finds them, with a short cut between two ASCII units (where only
// CR LF joins). The last one appended is the text's end; it is a boundary
// of a longer text only if that text ends there.
void AppendCharacterBounds(QStringView text, qsizetype start, std::vector<qsizetype> &bounds);

// A text split once into its characters as a user sees them. The count, the
// markup and the preview all read this one split, so they cannot disagree on
// what a character is.
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

    // Offsets of every boundary, 0 and the text's end included.
    const std::vector<qsizetype> &Bounds() const { return bounds_; }

private:
    QString text_;
    std::vector<qsizetype> bounds_;
};
