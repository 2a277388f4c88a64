// File > Radio Archive: every entry of the radio archive (radio serial, time, operation, MMSI, and
// for a damaged entry why), newest last and selected. Open hands the window an entry's settings
// as its document; Restore asks, naming the radio, the entry and the port, and hands the window the entry to write back.
// A damaged entry cannot be restored. The dialog only chooses: the window opens and restores.
// Save Register... writes the register of programmed radios (from the programming log) as CSV.
#pragma once

#include "files/RadioArchive.h"

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace orven::ui {

class RadioArchiveDlg : public QDialog {
    Q_OBJECT
public:
    // How the dialog ended besides Close (QDialog::Rejected).
    enum Choice { kOpenChosen = 2, kRestoreChosen = 3 };

    // `portName` is the port a restore would write through, for its question.
    RadioArchiveDlg(const RadioArchive& archive, const QString& portName, QWidget* parent = nullptr);

    // The entry selected when the dialog ended; nothing when none was.
    std::optional<ArchiveEntry> Chosen() const;

private:
    void FillList();
    // Open and Restore follow the selection; an entry without settings says why Open is off.
    void SelectionChanged();
    void OnOpen();
    void OnRestore();
    void OnSaveRegister();

    RadioArchive archive_;
    QString portName_;
    std::vector<ArchiveEntry> entries_;
    QTreeWidget* list_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* restore_ = nullptr;
    QPushButton* register_ = nullptr;
};

}  // namespace orven::ui
