#pragma once
// Answers the open and save dialogs from a script and records every message box, in place of a
// person.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

#include "app/UserDialogs.h"

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
        // Taken out through a plain QString: the optional's copy misleads GCC's uninitialised-
        // value warning where this is inlined.
        const bool cancelled = !Answers.front().has_value();
        const QString answer = Answers.front().value_or(QString());
        Answers.pop_front();
        if (cancelled)
            return std::nullopt;
        return answer;
    }
    std::optional<QString> ChooseFileToSave(QWidget*, const QString& suggestedName) override {
        SuggestedNamesShown.push_back(suggestedName);
        if (SaveAnswers.empty())
            return std::nullopt;
        // Taken out through a plain QString: the optional's copy misleads GCC's uninitialised-
        // value warning where this is inlined.
        const bool cancelled = !SaveAnswers.front().has_value();
        const QString answer = SaveAnswers.front().value_or(QString());
        SaveAnswers.pop_front();
        if (cancelled)
            return std::nullopt;
        return answer;
    }
    void ShowError(QWidget*, const QString& title, const QString& text) override {
        Messages.push_back({true, title, text});
        if (OnMessage)
            OnMessage();
    }
    void ShowInformation(QWidget*, const QString& title, const QString& text) override {
        Messages.push_back({false, title, text});
        if (OnMessage)
            OnMessage();
    }

    // Records each step of a long command, and cancels at step CancelAtStep (counted over
    // all commands, from 1; 0 never).
    class TScriptedProgress : public TProgress {
      public:
        explicit TScriptedProgress(TScriptedDialogs& owner) : Owner(owner) { ++Owner.OpenProgress; }
        ~TScriptedProgress() override { --Owner.OpenProgress; }
        void SetNote(const QString& note) override { Owner.ProgressNotes.push_back(note); }
        bool Step(std::uint64_t done, std::uint64_t total) override {
            Owner.Steps.push_back({done, total});
            return Owner.CancelAtStep == 0 || Owner.Steps.size() < Owner.CancelAtStep;
        }

      private:
        TScriptedDialogs& Owner;
    };
    std::unique_ptr<TProgress> StartProgress(QWidget*, const QString& label) override {
        ProgressLabels.push_back(label);
        return std::make_unique<TScriptedProgress>(*this);
    }

    std::deque<std::optional<QString>> Answers; // nullopt = the user cancels
    std::vector<QString> LastNamesShown;
    std::deque<std::optional<QString>> SaveAnswers; // nullopt = the user cancels
    std::vector<QString> SuggestedNamesShown;
    std::vector<TMessage> Messages;
    std::function<void()> OnMessage; // told as each message is shown
    int OpenProgress = 0;            // progress shown now
    std::vector<QString> ProgressNotes;
    std::vector<QString> ProgressLabels;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> Steps;
    std::size_t CancelAtStep = 0;
};
