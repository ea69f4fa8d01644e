#pragma once

#include "colorvalue.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

// An indexed array of light labels drawn by one widget, in place of a
// QLabel per character: a preview may hold tens of thousands of them.
// Positions and sizes are in twips of the parent window, at its screen's scale.
// Element 1 always exists; elements 2 and up are loaded and unloaded at run
// time. A new element copies element 1 and starts hidden.
class LabelArray : public QWidget {
    Q_OBJECT

public:
    class Element;

    LabelArray(QWidget *parent, double left, double top);

    Element operator[](int index);
    const Element operator[](int index) const;

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

// A handle on one element, with the label's properties.
class LabelArray::Element {
public:
    QString Caption() const { return record().caption; }
    void SetCaption(const QString &caption);
    ColorValue ForeColor() const { return record().foreColor; }
    void SetForeColor(ColorValue color);
    ColorValue BackColor() const { return record().backColor; }
    void SetBackColor(ColorValue color);
    float FontSize() const { return record().fontSize; }
    void SetFontSize(float size); // throws RuntimeError 380 for 0 or less
    QString FontName() const { return record().fontName; }
    void SetFontName(const QString &name);
    bool FontBold() const { return record().fontBold; }
    void SetFontBold(bool bold);
    bool FontItalic() const { return record().fontItalic; }
    void SetFontItalic(bool italic);
    bool AutoSize() const { return record().autoSize; }
    void SetAutoSize(bool autoSize);
    double Left() const { return record().left; }
    void SetLeft(double left);
    double Top() const { return record().top; }
    void SetTop(double top);
    double Width() const { return record().width; }
    double Height() const { return record().height; }
    bool Visible() const { return record().visible; }
    void SetVisible(bool visible);

private:
    friend class LabelArray;
    Element(LabelArray *labels, int index) : labels_(labels), index_(index) {}
    Record &record() const { return labels_->At(index_); }
    void Changed(bool resize) const { labels_->Changed(record(), resize); }

    LabelArray *labels_;
    int index_;
};
