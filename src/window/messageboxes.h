#pragma once

#include <QString>

class QWidget;

// The message boxes' styles, by their classic values: an OK button, alone or
// with the critical or the exclamation icon.
enum class MsgBoxStyle { OkOnly = 0, Critical = 16, Exclamation = 48 };

// The answers to a question about something that cannot be done now: try
// again, go on without it, or go back (the box closed with Escape).
enum class RetryAnswer { Retry, GoOnWithout, Cancel };

// Modal message boxes.
class MessageBoxes {
public:
    MessageBoxes() = default;
    virtual ~MessageBoxes() = default;
    MessageBoxes(const MessageBoxes &) = delete;
    MessageBoxes &operator=(const MessageBoxes &) = delete;
    virtual void MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title) = 0;
    // An exclamation box with Retry, a button captioned goOnWithout, and Cancel.
    virtual RetryAnswer AskRetry(const QString &prompt, const QString &goOnWithout, const QString &title) = 0;
};

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget *parent) : parent_(parent) {}
    void MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title) override;
    RetryAnswer AskRetry(const QString &prompt, const QString &goOnWithout, const QString &title) override;

private:
    QWidget *parent_;
};
