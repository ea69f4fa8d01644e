#pragma once

#include "gradient.h"
#include "markupoptions.h"
#include "textcharacters.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Writes a template of the user's own for the markup, and shows its output
// for a text in a gradient as it is typed. While the template does not
// read, it says why and OK waits. The controls carry object names, by which
// tests find them.
class TemplateDialog : public QDialog {
    Q_OBJECT

public:
    TemplateDialog(const QString &templateText, TextCharacters characters, const Gradient &gradient, bool skipSpaces,
                   QWidget *parent);

    // The template as the dialog last read it.
    const MarkupTemplate &Chosen() const { return options_.customTemplate; }

private:
    void ReadTemplate(const QString &text);

    TextCharacters characters_;
    Gradient gradient_;
    MarkupOptions options_;
    QLineEdit *template_ = nullptr;
    QPlainTextEdit *sample_ = nullptr;
    QLabel *message_ = nullptr;
    QPushButton *ok_ = nullptr;
};
