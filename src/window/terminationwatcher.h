#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into the signal terminationRequested, on
// the event loop, so that the window can close as if the user had closed it.
class TerminationWatcher : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    static void OnSignal(int number);
    QSocketNotifier *notifier_ = nullptr;
};
