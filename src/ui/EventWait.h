#pragma once

#include <QDeadlineTimer>

#include <chrono>
#include <functional>

namespace tern::ui {

// How often a wait tests its condition unless told otherwise.
inline constexpr std::chrono::milliseconds kEventWaitPoll{200};

// Serves the GUI thread's events until `done` holds or `deadline` passes, testing `done` before the
// wait, every `poll` interval, and once more at the end. Returns whether `done` held. Handlers run
// during the wait may start waits of their own (they nest); no thread ever sleeps. GUI thread only.
bool waitServingEvents(QDeadlineTimer deadline, const std::function<bool()>& done,
                       std::chrono::milliseconds poll = kEventWaitPoll);

} // namespace tern::ui
