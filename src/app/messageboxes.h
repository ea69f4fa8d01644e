#pragma once

#include <QString>

class QWidget;

// Modal message boxes. Styles as the window uses them: 0 is OK alone,
// 16 adds the critical icon, 48 the exclamation icon.
class MessageBoxes {
public:
    MessageBoxes() = default;
    virtual ~MessageBoxes() = default;
    MessageBoxes(const MessageBoxes &) = delete;
    MessageBoxes &operator=(const MessageBoxes &) = delete;
    virtual void MsgBox(const QString &prompt, int style, const QString &title) = 0;
};

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget *parent) : parent_(parent) {}
    void MsgBox(const QString &prompt, int style, const QString &title) override;

private:
    QWidget *parent_;
};
