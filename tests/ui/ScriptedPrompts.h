// Prompts for tests: records every message and question, answers from a script, and lets a
// test drive each modal dialog before it "closes".
#pragma once

#include "ui/UserPrompts.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace orven::test {

struct ShownMessage {
    QString title;
    QString text;
    ui::PromptIcon icon;
    QString details = {};  // a message's list, a choice's buttons
    QString status = {};   // what the status line said meanwhile (with a status probe)
};

class ScriptedPrompts : public ui::UserPrompts {
public:
    ScriptedPrompts() { ui::SetPrompts(this); }
    ~ScriptedPrompts() override { ui::SetPrompts(nullptr); }

    void Message(QWidget*, const QString& title, const QString& text, ui::PromptIcon icon) override {
        messages.push_back({title, text, icon});
    }
    void MessageWithDetails(QWidget*, const QString& title, const QString& text, const QString& details,
                            ui::PromptIcon icon) override {
        messages.push_back({title, text, icon, details});
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({title, text, ui::PromptIcon::Question, {}, Status()});
        return Take(answers, false);
    }
    ui::SaveChoice AskToSave(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({title, text, ui::PromptIcon::Question, QStringLiteral("Yes|No|Cancel"), Status()});
        return Take(saveChoices, ui::SaveChoice::Discard);
    }
    int AskChoice(QWidget*, const QString& title, const QString& text, const QStringList& offered) override {
        questions.push_back({title, text, ui::PromptIcon::Question, offered.join('|'), Status()});
        return Take(choices, -1);
    }
    QString OpenFileName(QWidget*, const QString& title, const QString&, ui::FileKind) override {
        fileDialogTitles << title;
        return Take(openNames, QString());
    }
    QString SaveFileName(QWidget*, const QString& title, const QString&, ui::FileKind) override {
        fileDialogTitles << title;
        return Take(saveNames, QString());
    }
    bool OpenInTextViewer(const QString& path) override {
        viewed << path;
        return viewerStarts;
    }
    int RunDialog(QDialog& dialog) override {
        dialogTitles << dialog.windowTitle();
        dialogStatus << Status();
        const auto step = Take(dialogScript, std::function<int(QDialog&)>());
        return step ? step(dialog) : QDialog::Rejected;
    }
    bool CtrlHeld() override { return ctrlHeld; }

    // The texts of the messages shown so far.
    QStringList MessageTexts() const {
        QStringList texts;
        for (const auto& m : messages) texts << m.text;
        return texts;
    }

    std::vector<ShownMessage> messages;
    std::vector<ShownMessage> questions;
    std::deque<bool> answers;                 // Yes/No for the next questions (No when empty)
    std::deque<ui::SaveChoice> saveChoices;   // the next save questions' answers (No when empty)
    std::deque<int> choices;                  // the buttons chosen in the next choices (none when empty)
    std::deque<QString> openNames, saveNames; // file names for the next file dialogs ("" cancels)
    std::deque<std::function<int(QDialog&)>> dialogScript;  // Rejected when empty
    QStringList dialogTitles;
    QStringList dialogStatus;      // the status line while each dialog ran (with a status probe)
    QStringList fileDialogTitles;
    std::function<QString()> statusProbe;  // reads the status line when a question opens
    QStringList viewed;
    bool viewerStarts = true;  // whether the desktop has a viewer for the reports
    bool ctrlHeld = false;

private:
    QString Status() const { return statusProbe ? statusProbe() : QString(); }
    // The next scripted answer, or the one given when the script has run out.
    template <class T>
    static T Take(std::deque<T>& script, T none) {
        if (script.empty()) return none;
        T next = std::move(script.front());
        script.pop_front();
        return next;
    }
};

}  // namespace orven::test
