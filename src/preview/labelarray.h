#pragma once

#include "colorvalue.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

// An indexed array of light labels drawn by one widget, in place of a
// QLabel per character: a preview may hold tens of thousands of them.
// Positions and sizes are in twips of the parent window, twipsPerPixel of
// them to a pixel (its screen's dpi at the window's scale), and fonts are
// drawn fontScale times their size (a window drawn larger than its design).
// The owner says how a colour value is painted, system colours included.
// Element 1 always exists; elements 2 and up are loaded and unloaded at run
// time. A new element copies element 1 and starts hidden.
class LabelArray : public QWidget {
    Q_OBJECT

public:
    class ConstElement;
    class Element;

    using PaintColorFunction = QColor (*)(ColorValue value);

    LabelArray(QWidget *parent, double left, double top, double twipsPerPixel, double fontScale,
               PaintColorFunction paintColor);

    Element operator[](int index);
    ConstElement operator[](int index) const;

    // Throws RuntimeError 360 when the element exists, 340 when it doesn't.
    void Load(int index);
    void Unload(int index);

    int Count() const { return count_; }
    bool Exists(int index) const;

    // The captions of the visible elements, in order: what the preview shows.
    QString VisibleText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Record {
        QString caption;
        ColorValue foreColor = ButtonFaceColor;
        ColorValue backColor = ButtonFaceColor;
        QString fontName;
        float fontSize = 0;
        bool fontBold = false;
        bool fontItalic = false;
        bool autoSize = true;
        bool visible = true;
        double left = 0, top = 0, width = 0, height = 0;
    };

    Record &At(int index);
    const Record &At(int index) const;
    void Changed(Record &record, bool resize);
    const QFontMetricsF &MetricsOf(const Record &record);
    void Fit(Record &record);
    void RefreshAccessibleName();

    double twipsPerPixel_;
    double fontScale_;
    PaintColorFunction paintColor_;
    std::vector<std::optional<Record>> records_;
    int count_ = 0;
    bool accessibleNamePending_ = false;

    // The last font used, its metrics and the widths of captions in it: the
    // elements nearly always share one font, and most captions repeat.
    struct MeasuredFont {
        QString name;
        float size = 0;
        bool bold = false, italic = false;
        QFont font;
        std::optional<QFontMetricsF> metrics;
        QHash<QString, double> widths;
    };
    MeasuredFont measured_;
};

// A handle on one element that reads the label's properties.
class LabelArray::ConstElement {
public:
    QString Caption() const { return record().caption; }
    ColorValue ForeColor() const { return record().foreColor; }
    ColorValue BackColor() const { return record().backColor; }
    float FontSize() const { return record().fontSize; }
    QString FontName() const { return record().fontName; }
    bool FontBold() const { return record().fontBold; }
    bool FontItalic() const { return record().fontItalic; }
    bool AutoSize() const { return record().autoSize; }
    double Left() const { return record().left; }
    double Top() const { return record().top; }
    double Width() const { return record().width; }
    double Height() const { return record().height; }
    bool Visible() const { return record().visible; }

protected:
    friend class LabelArray;
    ConstElement(const LabelArray *labels, int index) : labels_(labels), index_(index) {}
    const Record &record() const { return labels_->At(index_); }

    const LabelArray *labels_;
    int index_;
};

// A handle on one element that also sets the label's properties.
class LabelArray::Element : public ConstElement {
public:
    void SetCaption(const QString &caption);
    void SetForeColor(ColorValue color);
    void SetBackColor(ColorValue color);
    void SetFontSize(float size); // throws RuntimeError 380 for 0 or less
    void SetFontName(const QString &name);
    void SetFontBold(bool bold);
    void SetFontItalic(bool italic);
    void SetAutoSize(bool autoSize);
    void SetLeft(double left);
    void SetTop(double top);
    void SetVisible(bool visible);

private:
    friend class LabelArray;
    Element(LabelArray *labels, int index) : ConstElement(labels, index), labels_(labels) {}
    Record &record() const { return labels_->At(index_); }
    void Changed(bool resize) const { labels_->Changed(record(), resize); }

    LabelArray *labels_;
};
