#pragma once

#include "commondialog.h"
#include "messageboxes.h"
#include "programstarter.h"

#include <QStringList>

#include <deque>
#include <optional>

struct FakeMessageBoxes : MessageBoxes {
    struct Shown {
        QString prompt;
        int style;
        QString title;
    };
    std::vector<Shown> shown;

    void MsgBox(const QString &prompt, int style, const QString &title) override
    {
        shown.push_back({prompt, style, title});
    }
    QStringList Prompts() const
    {
        QStringList prompts;
        for (const Shown &s : shown)
            prompts << s.prompt;
        return prompts;
    }
};

// Answers the dialogs from queues; an empty answer is a cancel.
struct FakeCommonDialog : CommonDialog {
    std::deque<std::optional<ColorValue>> colors;
    std::deque<std::optional<float>> fontSizes;
    int colorShows = 0, fontShows = 0;
    int lastColorFlags = 0;

    bool ShowColor() override
    {
        ++colorShows;
        lastColorFlags = Flags;
        std::optional<ColorValue> answer = colors.empty() ? std::nullopt : colors.front();
        if (!colors.empty())
            colors.pop_front();
        if (!answer)
            return false;
        Color = *answer;
        return true;
    }
    bool ShowFont() override
    {
        ++fontShows;
        std::optional<float> answer = fontSizes.empty() ? std::nullopt : fontSizes.front();
        if (!fontSizes.empty())
            fontSizes.pop_front();
        if (!answer)
            return false;
        FontSize = *answer;
        return true;
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
