// Every place where the program stops to ask or tell the user something, or hands a file to
// another program. The desktop uses real message boxes and file dialogs; tests install a
// scripted implementation.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace orven::ui {

enum class PromptIcon { None, Information, Warning, Error, Question };

// What a file dialog offers: settings files ("*.dat") or spreadsheets ("*.csv").
enum class FileKind { Settings, Spreadsheet };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A message box with one OK button.
    virtual void Message(QWidget* parent, const QString& title, const QString& text, PromptIcon icon) = 0;
    // The same with a list the user can read at length and copy (one item a line).
    virtual void MessageWithDetails(QWidget* parent, const QString& title, const QString& text,
                                    const QString& details, PromptIcon icon) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with a button for each choice; the index of the one chosen, -1 when the
    // question was closed without one.
    virtual int AskChoice(QWidget* parent, const QString& title, const QString& text, const QStringList& choices) = 0;
    // The system's file dialogs for the kind's files; an empty name when cancelled. Saving asks
    // before overwriting and adds the kind's extension when none was typed.
    virtual QString OpenFileName(QWidget* parent, const QString& startDir, FileKind kind) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& startDir, FileKind kind) = 0;
    // Opens a report in the desktop's text viewer, without waiting and without a shell; false
    // when no viewer could be started.
    virtual bool OpenInTextViewer(const QString& path) = 0;
    // Runs a modal dialog; returns QDialog::Accepted or Rejected.
    virtual int RunDialog(QDialog& dialog) = 0;
    // Whether the Ctrl key is held now.
    virtual bool CtrlHeld() = 0;
};

// The prompts in use: the desktop's own unless a test installed others.
UserPrompts& Prompts();
// Installs prompts (nullptr restores the desktop's own); the caller keeps ownership.
void SetPrompts(UserPrompts* prompts);

}  // namespace orven::ui
