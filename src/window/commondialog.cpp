#include "commondialog.h"

#include "qtcolor.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QValidator>

#include <cmath>

namespace {

// Font sizes that the preview takes, in points: Qt's font dialog's range.
constexpr double SmallestSize = 1;
constexpr double LargestSize = 512;

// A size in points, whole or with a decimal point or comma.
class SizeValidator : public QValidator {
public:
    using QValidator::QValidator;

    static std::optional<double> SizeOf(QString text)
    {
        static const QRegularExpression form(QStringLiteral("^\\d{1,3}([.,]\\d{0,3})?$"));
        if (!form.match(text).hasMatch())
            return std::nullopt;
        const double size = text.replace(u',', u'.').toDouble();
        if (size < SmallestSize || size > LargestSize)
            return std::nullopt;
        return size;
    }

    State validate(QString &input, int &) const override
    {
        static const QRegularExpression typing(QStringLiteral("^\\d{0,3}([.,]\\d{0,3})?$"));
        if (SizeOf(input))
            return Acceptable;
        return typing.match(input).hasMatch() ? Intermediate : Invalid;
    }
};

// Qt's font dialog takes whole sizes only: its size field's validator drops a
// typed decimal point, so that "10.5" became 105, and a size given to it is
// rounded. This one puts a size field of its own in that field's place,
// which takes the number typed, gives it to the sample and so to the font
// chosen, and keeps Qt's field, size list and styles on the nearest whole
// size. OK takes only a size from 1 to 512 points. Where Qt's dialog is not
// laid out as this expects, it is left as it is.
class FontDialog : public QFontDialog {
public:
    FontDialog(const QFont &initial, QWidget *parent) : QFontDialog(initial, parent)
    {
        auto *grid = qobject_cast<QGridLayout *>(layout());
        QLayoutItem *field = grid ? grid->itemAtPosition(1, 4) : nullptr;
        QLayoutItem *list = grid ? grid->itemAtPosition(2, 4) : nullptr;
        qtSize_ = field ? qobject_cast<QLineEdit *>(field->widget()) : nullptr;
        sizeList_ = list ? qobject_cast<QListView *>(list->widget()) : nullptr;
        sample_ = findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit"));
        auto *buttons = findChild<QDialogButtonBox *>();
        ok_ = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
        if (!qtSize_ || !sizeList_ || !sample_ || !ok_)
            return;
        exact_ = initial.pointSizeF() > 0 ? initial.pointSizeF() : QFontInfo(initial).pointSizeF();
        size_ = new QLineEdit(QString::number(exact_, 'g', 6), this);
        size_->setObjectName(QStringLiteral("size"));
        size_->setValidator(new SizeValidator(size_));
        delete grid->replaceWidget(qtSize_, size_);
        qtSize_->hide();
        for (QLabel *label : findChildren<QLabel *>())
            if (label->buddy() == qtSize_)
                label->setBuddy(size_);
        size_->installEventFilter(this);
        connect(size_, &QLineEdit::textEdited, this, [this] { TakeTypedSize(); });
        connect(qtSize_, &QLineEdit::textChanged, this, [this] { TakeQtSize(); });
        // The list's own size, also when it is the whole size under a typed one.
        connect(sizeList_, &QListView::clicked, this, [this](const QModelIndex &index) {
            exact_ = index.data().toDouble();
            size_->setText(index.data().toString());
            ok_->setEnabled(true);
            ShowExactSize();
        });
        connect(this, &QFontDialog::currentFontChanged, this, [this] { ShowExactSize(); });
        ok_->setEnabled(size_->hasAcceptableInput());
        ShowExactSize();
    }

    // The arrow and page keys in the size field walk the size list, as in Qt's own field.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == size_ && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
                QCoreApplication::sendEvent(sizeList_, event);
                return true;
            }
        }
        return QFontDialog::eventFilter(watched, event);
    }

    void done(int result) override
    {
        if (result == Accepted && size_ && !size_->hasAcceptableInput()) {
            size_->setFocus();
            size_->selectAll();
            return;
        }
        QFontDialog::done(result);
    }

private:
    static QString Whole(double size) { return QString::number(std::lround(size)); }

    void TakeTypedSize()
    {
        const std::optional<double> size = SizeValidator::SizeOf(size_->text());
        ok_->setEnabled(size.has_value());
        if (!size)
            return;
        exact_ = *size;
        typing_ = true;
        qtSize_->setText(Whole(exact_));
        typing_ = false;
        ShowExactSize();
    }

    // A size picked from the list, or one that a font without that size took.
    void TakeQtSize()
    {
        if (typing_ || qtSize_->text() == Whole(exact_))
            return;
        exact_ = qtSize_->text().toDouble();
        size_->setText(qtSize_->text());
        ok_->setEnabled(size_->hasAcceptableInput());
    }

    // Qt drew the sample at the whole size.
    void ShowExactSize()
    {
        if (qtSize_->text() != Whole(exact_)) {
            TakeQtSize();
            return;
        }
        QFont font = sample_->font();
        if (font.pointSizeF() != exact_) {
            font.setPointSizeF(exact_);
            sample_->setFont(font);
        }
    }

    QLineEdit *qtSize_ = nullptr;
    QListView *sizeList_ = nullptr;
    QLineEdit *sample_ = nullptr;
    QPushButton *ok_ = nullptr;
    QLineEdit *size_ = nullptr;
    double exact_ = 0;
    bool typing_ = false;
};

} // namespace

std::optional<ColorValue> CommonDialog::ShowColor(std::optional<ColorValue> start)
{
    if (start)
        color_ = *start;
    const std::optional<ColorValue> chosen = RunColorDialog(color_);
    if (chosen)
        color_ = *chosen;
    return chosen;
}

std::optional<PreviewFont> CommonDialog::ShowFont(const PreviewFont &start)
{
    return RunFontDialog(start);
}

// Qt's own dialogs rather than the desktop's, so that they behave the same
// everywhere. Qt's colour dialog always shows its custom colours.
std::optional<ColorValue> CommonDialog::RunColorDialog(ColorValue start)
{
    QColorDialog dialog(parent_);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QCoreApplication::translate("CommonDialog", "Choose Color"));
    dialog.setCurrentColor(ToQColor(start));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FromQColor(dialog.selectedColor());
}

std::optional<PreviewFont> CommonDialog::RunFontDialog(const PreviewFont &start)
{
    QFont font(start.Name);
    if (start.Size > 0)
        font.setPointSizeF(start.Size);
    font.setBold(start.Bold);
    font.setItalic(start.Italic);
    // Qt's dialog finds the start's style by name, "Normal" where a family
    // may say "Book", and else takes its list's first, often an oblique one:
    // the name of the face that draws the font is the one to find.
    font.setStyleName(QFontInfo(font).styleName());
    FontDialog dialog(font, parent_);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = dialog.selectedFont();
    return PreviewFont{chosen.family(), float(chosen.pointSizeF()), chosen.bold(), chosen.italic()};
}
