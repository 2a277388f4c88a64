#include "ui/CCloneApp.h"

#include "clone/CloneEvent.h"
#include "files/Paths.h"
#include "files/StateFile.h"
#include "ui/CCloneMainDlg.h"
#include "ui/DemoMode.h"

#include <QApplication>

#include <filesystem>

namespace orven::ui {

std::string ProgramNameOf(const std::string& executablePath) {
    return std::filesystem::path(executablePath).stem().string();
}

CCloneApp::CCloneApp() : state_(FreshAppState()) {}

CCloneApp::~CCloneApp() = default;

CCloneMainDlg& CCloneApp::StartUp(const std::string& workDir, const std::string& programName) {
    workDir_ = workDir;
    statePath_ = StateFilePath(workDir_, programName);
    // The file is read over a zeroed record: what a short file does not hold stays zero, the
    // baud rate index included. Only a file that cannot be read at all gives the fresh state.
    state_ = AppState{};
    if (ReadStateFile(statePath_, state_) != kStateFileOk) state_ = FreshAppState();
    // These hold for one run only, whatever the last run left in the file.
    state_.traceLog = 0;
    state_.dumpImages = 0;
    state_.uiReadOnly = 0;
    state_.editBand = 0;
    CloneStopEvent.Reset();
    CloneBusyEvent.Reset();
    window_ = std::make_unique<CCloneMainDlg>(state_, workDir_);
    window_->SetStateFilePath(statePath_);
    return *window_;
}

bool CCloneApp::Finish() {
    window_.reset();
    return WriteStateFile(statePath_, state_) == kStateFileOk;
}

int CCloneApp::Run(QApplication& app, const std::string& programName, const std::string& file) {
    CCloneMainDlg& window = StartUp(CurrentDirectory(), programName);
    window.SetDemoRadio(DemoRequested(QApplication::arguments()));
    window.show();
    if (!file.empty()) {
        // The state remembers a full path, as the file dialog gives it.
        std::error_code unknown;
        const std::filesystem::path full = std::filesystem::absolute(file, unknown);
        window.OpenFile(unknown ? file : full.string());
    }
    const int code = app.exec();
    Finish();
    return code;
}

}  // namespace orven::ui
