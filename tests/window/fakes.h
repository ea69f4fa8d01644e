#pragma once

#include "commondialog.h"
#include "messageboxes.h"
#include "programstarter.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct FakeMessageBoxes : MessageBoxes {
    struct Shown {
        QString prompt;
        MsgBoxStyle style;
        QString title;
    };
    std::vector<Shown> shown;
    std::function<void()> whileShown; // runs as a box would stand open
    std::deque<RetryAnswer> answers;  // to the questions, in turn; then Cancel, as Escape

    void MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title) override
    {
        shown.push_back({prompt, style, title});
        if (whileShown)
            whileShown();
    }
    RetryAnswer AskRetry(const QString &prompt, const QString &goOnWithout, const QString &title) override
    {
        MsgBox(prompt + " [" + goOnWithout + "]", MsgBoxStyle::Exclamation, title);
        if (answers.empty())
            return RetryAnswer::Cancel;
        const RetryAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QStringList Prompts() const
    {
        QStringList prompts;
        for (const Shown &s : shown)
            prompts << s.prompt;
        return prompts;
    }
};

// Answers the dialogs from queues, an empty answer being a cancel, and keeps
// what each dialog started from. A font answer is the start with its size
// (and, when fontName is set, its family) replaced.
struct FakeCommonDialog : CommonDialog {
    std::deque<std::optional<ColorValue>> colors;
    std::deque<std::optional<float>> fontSizes;
    QString fontName;
    std::vector<ColorValue> colorStarts;
    std::vector<PreviewFont> fontStarts;

protected:
    std::optional<ColorValue> RunColorDialog(ColorValue start) override
    {
        colorStarts.push_back(start);
        return Answer(colors);
    }
    std::optional<PreviewFont> RunFontDialog(const PreviewFont &start) override
    {
        fontStarts.push_back(start);
        const std::optional<float> size = Answer(fontSizes);
        if (!size)
            return std::nullopt;
        PreviewFont chosen = start;
        chosen.Size = *size;
        if (!fontName.isEmpty())
            chosen.Name = fontName;
        return chosen;
    }

private:
    template <typename T>
    static std::optional<T> Answer(std::deque<std::optional<T>> &queue)
    {
        if (queue.empty())
            return std::nullopt;
        const std::optional<T> answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

// Records what it was asked to start; a program "fails" when told to.
struct FakeProgramStarter : ProgramStarter {
    QStringList started;
    bool fails = false;
    void Start(const QString &program, const QStringList &arguments, const QString &,
               std::function<void()> failed) override
    {
        started << program + ' ' + arguments.join(' ');
        if (fails)
            failed();
    }
};
