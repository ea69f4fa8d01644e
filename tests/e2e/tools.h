#pragma once

#include "testsupport.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

class QProcess;

// What an outside tool printed. A tool that outlives its time is killed and
// reported as not finished, so that no test waits for ever.
struct ToolResult {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;

    bool Succeeded() const { return finished && exitCode == 0; }
};

ToolResult RunTool(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
                   int timeoutMs = WaitLimitMs, const QByteArray &input = QByteArray());

// Polls until done() holds or the time is up; returns the last answer.
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = WaitLimitMs, int intervalMs = 50);

// Polls that holds() stays true for the whole period; false at its first
// failure.
bool HoldsThroughout(const std::function<bool()> &holds, int periodMs = SettleMs, int intervalMs = 50);

// The process gets SIGTERM when the test that started it dies, so that a
// crashed test leaves no display or program behind.
void EndWithParent(QProcess &process);
