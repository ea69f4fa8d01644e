#pragma once

#include <QProcess>
#include <QString>

// An Xvfb server of its own, on the first free display number, for as long
// as the object lives. 24-bit colour, so that screenshots keep exact colours.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    bool IsRunning() const { return !name_.isEmpty(); }
    QString Name() const { return name_; }
    QString Failure() const { return failure_; }

private:
    QProcess server_;
    QString name_;
    QString failure_;
};
