// Tools > Check Connection: why the radio does or does not answer, as a checklist for the port and
// baud rate chosen in the window. The dialog starts the check, which runs elsewhere, and shows
// "Checking..." until its report comes; then one line each with its status (a coloured mark and
// the word), the fix under each failure and warning, and a last line that sums it up. The text
// can be selected, and Copy puts all of it on the clipboard as the command line prints it, ready
// for a support request, and says "Copied". Beneath the list, the time of the last check.
#pragma once

#include "clone/ConnectionCheck.h"

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace orven::ui {

class ConnectionCheckDlg : public QDialog {
    Q_OBJECT
public:
    // Hands a check's report over, on the GUI thread.
    using Delivery = std::function<void(const ConnectionReport&)>;
    // Starts a check that ends in the delivery; false when none could start (a clone command runs).
    using Starter = std::function<bool(Delivery)>;

    explicit ConnectionCheckDlg(Starter start, QWidget* parent = nullptr);

    // Starts a check unless this dialog's own still runs (Check Again).
    void Check();

    // What Copy copies: the last report as text, or nothing while checking.
    const QString& PlainText() const { return plain_; }

private:
    void Show(const ConnectionReport& report);
    // Only the list's text, with nothing to copy: "Checking...", or why no check started.
    void ShowNote(const QString& note);

    Starter start_;
    bool checking_ = false;
    QString plain_;
    QTextBrowser* list_ = nullptr;
    QLabel* checkedAt_ = nullptr;
    QPushButton* again_ = nullptr;
    QPushButton* copy_ = nullptr;
};

}  // namespace orven::ui
