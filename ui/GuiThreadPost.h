// Runs a function on the GUI thread, posted from any thread; or asks the GUI thread something and
// waits for the answer.
//
// The toolkit's own queue hands the call over through locks that thread checkers cannot see, so
// the hand-over also passes through one std::mutex: what the posting thread wrote before posting
// is then visibly ordered before the call, for the checker as it already is for the program.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <memory>
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

// For a worker thread only: runs ask() on the GUI thread and returns its result, or `dropped`
// when the call is discarded without running (the program ending). The GUI thread never waits
// for a worker, so the wait always ends.
template <class Result, class Ask>
Result AskGui(Ask ask, Result dropped) {
    struct Answer {
        std::mutex lock;
        std::condition_variable given;
        bool done = false;
        Result value;
    };
    // Gives the answer up once the call has run or has been discarded, whichever comes first.
    struct Giver {
        explicit Giver(std::shared_ptr<Answer> to) : answer(std::move(to)) {}
        Giver(const Giver&) = delete;
        Giver& operator=(const Giver&) = delete;
        std::shared_ptr<Answer> answer;
        void Give(Result* value) {
            std::lock_guard hold(answer->lock);
            if (answer->done) return;
            if (value) answer->value = std::move(*value);
            answer->done = true;
            answer->given.notify_all();
        }
        ~Giver() { Give(nullptr); }
    };
    auto answer = std::make_shared<Answer>();
    answer->value = std::move(dropped);
    auto giver = std::make_shared<Giver>(answer);
    PostToGui([giver, ask = std::move(ask)]() mutable {
        Result value = ask();
        giver->Give(&value);
    });
    giver.reset();
    std::unique_lock waiting(answer->lock);
    answer->given.wait(waiting, [&answer] { return answer->done; });
    return std::move(answer->value);
}

}  // namespace orven::ui
