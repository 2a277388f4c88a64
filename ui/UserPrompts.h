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

// The answers to the question before the document on screen is dropped.
enum class SaveChoice { Save, Discard, Cancel };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A message box with one OK button.
    virtual void Message(QWidget* parent, const QString& title, const QString& text, PromptIcon icon) = 0;
    // The same with a list beneath the text, shown at once, that the user can scroll, select and
    // copy (one item a line).
    virtual void MessageWithDetails(QWidget* parent, const QString& title, const QString& text,
                                    const QString& details, PromptIcon icon) = 0;
    // A question with Yes and No; true for Yes. Every such question would overwrite, replace or
    // restore something, so No is the default button and the answer of Escape.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // Whether to save the document before it is dropped: Yes, No and Cancel, with Escape and
    // closing the question meaning Cancel.
    virtual SaveChoice AskToSave(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with a button for each choice and Cancel, the default; the index of the one
    // chosen, -1 for Cancel, Escape or the question closed.
    virtual int AskChoice(QWidget* parent, const QString& title, const QString& text, const QStringList& choices) = 0;
    // The system's file dialogs for the kind's files, titled with what they are for; an empty
    // name when cancelled. Saving asks before overwriting and adds the kind's extension when none
    // was typed.
    virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& startDir, FileKind kind) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& startDir, FileKind kind) = 0;
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
