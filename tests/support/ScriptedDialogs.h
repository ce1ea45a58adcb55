#pragma once
// Answers the open dialog from a script and records every message box, in place of a person.

#include <deque>
#include <optional>
#include <vector>

#include <QString>

#include "UserDialogs.h"

class TScriptedDialogs : public TUserDialogs {
public:
    struct TMessage {
        bool Error;
        QString Title;
        QString Text;
    };

    std::optional<QString> ChooseFileToOpen(QWidget*, const QString& lastName) override {
        LastNamesShown.push_back(lastName);
        if (Answers.empty())
            return std::nullopt;
        auto answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void ShowError(QWidget*, const QString& title, const QString& text) override {
        Messages.push_back({true, title, text});
    }
    void ShowInformation(QWidget*, const QString& title, const QString& text) override {
        Messages.push_back({false, title, text});
    }

    std::deque<std::optional<QString>> Answers; // nullopt = the user cancels
    std::vector<QString> LastNamesShown;
    std::vector<TMessage> Messages;
};
