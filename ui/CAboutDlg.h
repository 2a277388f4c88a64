// The About box: the program's name and version.
#pragma once

#include <QDialog>

namespace orven::ui {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace orven::ui
