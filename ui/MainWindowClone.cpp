// The clone commands of the main window: Write to Radio, Read from Radio, Verify and HandShake.
#include "ui/CCloneMainDlg.h"

namespace orven::ui {

// The worker threads and their busy layout come with the clone commands; until then the
// commands do nothing and the layout stays idle.
void CCloneMainDlg::OnWriteToRadio() {}

void CCloneMainDlg::OnReadFromRadio() {}

void CCloneMainDlg::OnVerify() {}

void CCloneMainDlg::OnHandShake() {}

void CCloneMainDlg::SetBusyLayout(bool busy, CloneOperation operation) {
    (void)busy;
    cloneOperation_ = operation;
}

}  // namespace orven::ui
