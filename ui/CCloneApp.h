// The application: loads the remembered state, runs the main window as the program's one main
// loop, and stores the state again when the window has closed.
#pragma once

#include "model/AppState.h"

#include <memory>
#include <string>

class QApplication;

namespace orven::ui {

class CCloneMainDlg;

// The program's name as its state file is named: the executable's base name without folders
// and without extension.
std::string ProgramNameOf(const std::string& executablePath);

class CCloneApp {
public:
    CCloneApp();
    ~CCloneApp();
    CCloneApp(const CCloneApp&) = delete;
    CCloneApp& operator=(const CCloneApp&) = delete;

    // Start-up in workDir: reads the state file (the fresh state when that fails), clears the
    // options that hold for one run, resets the clone events and builds the main window, not
    // yet shown. The application keeps the window until Finish.
    CCloneMainDlg& StartUp(const std::string& workDir, const std::string& programName);

    // After the window has closed: destroys it and writes the state file. A write failure is
    // not reported to the user; the return value tells whether the file was written.
    bool Finish();

    // The whole run: start-up in the current directory, the window shown (with `file` opened in
    // it, as File > Open does, unless empty) until it closes, then Finish. Returns the main
    // loop's exit code.
    int Run(QApplication& app, const std::string& programName, const std::string& file = {});

    AppState& State() { return state_; }
    const std::string& WorkDir() const { return workDir_; }
    const std::string& StatePath() const { return statePath_; }
    CCloneMainDlg* MainWindow() const { return window_.get(); }

private:
    AppState state_;
    std::string workDir_;
    std::string statePath_;
    std::unique_ptr<CCloneMainDlg> window_;
};

}  // namespace orven::ui
