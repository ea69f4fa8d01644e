#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// An Xvfb server of its own, on the first free display number, with the
// openbox window manager on it and a D-Bus session bus that carries the
// accessibility bus, for as long as the object lives. 24-bit colour, so that
// screenshots keep exact colours. A dpi other than 96 is the desktop's font
// dpi (Xft.dpi), which scales the programs on it.
class VirtualDisplay {
public:
    explicit VirtualDisplay(int dpi = 96);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    bool IsRunning() const { return !name_.isEmpty() && failure_.isEmpty(); }
    QString Name() const { return name_; }
    QString Failure() const { return failure_; }
    int Dpi() const { return dpi_; }
    QString BusAddress() const { return busAddress_; }

private:
    void StartWindowManager();
    void StartSessionBus();
    static void Stop(QProcess &process);

    int dpi_;
    QProcess server_;
    QProcess windowManager_;
    QProcess bus_;
    QTemporaryDir managerHome_;
    QProcessEnvironment environment_;
    QString name_;
    QString busAddress_;
    QString failure_;
};
