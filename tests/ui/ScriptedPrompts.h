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
};

class ScriptedPrompts : public ui::UserPrompts {
public:
    ScriptedPrompts() { ui::SetPrompts(this); }
    ~ScriptedPrompts() override { ui::SetPrompts(nullptr); }

    void Message(QWidget*, const QString& title, const QString& text, ui::PromptIcon icon) override {
        messages.push_back({title, text, icon});
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({title, text, ui::PromptIcon::Question});
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString OpenFileName(QWidget*, const QString&) override { return Next(openNames); }
    QString SaveFileName(QWidget*, const QString&) override { return Next(saveNames); }
    bool OpenInTextViewer(const QString& path) override {
        viewed << path;
        return viewerStarts;
    }
    int RunDialog(QDialog& dialog) override {
        dialogTitles << dialog.windowTitle();
        if (dialogScript.empty()) return QDialog::Rejected;
        auto step = std::move(dialogScript.front());
        dialogScript.pop_front();
        return step(dialog);
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
    std::deque<QString> openNames, saveNames; // file names for the next file dialogs ("" cancels)
    std::deque<std::function<int(QDialog&)>> dialogScript;  // Rejected when empty
    QStringList dialogTitles;
    QStringList viewed;
    bool viewerStarts = true;  // whether the desktop has a viewer for the reports
    bool ctrlHeld = false;

private:
    static QString Next(std::deque<QString>& names) {
        if (names.empty()) return QString();
        QString name = names.front();
        names.pop_front();
        return name;
    }
};

}  // namespace orven::test
