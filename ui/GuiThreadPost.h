// Runs a function on the GUI thread, posted from any thread.
//
// The toolkit's own queue hands the call over through locks that thread checkers cannot see, so
// the hand-over also passes through one std::mutex: what the posting thread wrote before posting
// is then visibly ordered before the call, for the checker as it already is for the program.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>
#include <utility>

namespace orven::ui {

std::mutex& GuiHandOffMutex();

template <class Call>
void PostToGui(Call call) {
    std::lock_guard posting(GuiHandOffMutex());
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [call = std::move(call)]() mutable {
            { std::lock_guard receiving(GuiHandOffMutex()); }
            call();
        },
        Qt::QueuedConnection);
}

}  // namespace orven::ui
