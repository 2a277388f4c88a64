#include "ui/QueuedProgress.h"

#include "ui/GuiThreadPost.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <utility>

namespace orven::ui {

namespace {

// Runs change(bar) on the GUI thread if the bar still exists by then. The application object
// carries the call because, unlike the bar, it cannot vanish while the call is on its way.
template <class Change>
void Post(const QPointer<QProgressBar>& bar, Change change) {
    PostToGui([bar, change = std::move(change)] {
        if (bar) change(*bar);
    });
}

}  // namespace

void QueuedProgress::SetRange(int min, int max) {
    Post(bar_, [min, max](QProgressBar& bar) { bar.setRange(min, max); });
}

void QueuedProgress::SetStep(int step) { step_ = step; }

void QueuedProgress::StepIt() {
    Post(bar_, [step = step_](QProgressBar& bar) {
        // A step past the end wraps round to the start, as a stepping progress bar does.
        // A bar just given a new range holds a value below it.
        int next = std::max(bar.value(), bar.minimum()) + step;
        if (next > bar.maximum()) next = bar.minimum() + (next - bar.maximum());
        bar.setValue(next);
    });
}

void QueuedProgress::SetPos(int pos) {
    Post(bar_, [pos](QProgressBar& bar) { bar.setValue(pos); });
}

void QueuedProgress::SetPhase(const char* name) {
    Post(bar_, [format = QString::fromLatin1(name) + QStringLiteral(" %p%")](QProgressBar& bar) {
        bar.setFormat(format);
        bar.setTextVisible(true);
    });
}

}  // namespace orven::ui
