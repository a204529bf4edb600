#pragma once

#include "notify/Notifier.h"

#include <memory>

namespace tern {

// The notifier for this session when the program's balloon does not fit it: desktop notifications
// when the program runs on Wayland (where no program may place its windows by the tray icon) and the
// session has a notification service. Nothing otherwise: the balloon, `balloons`, serves. What it
// returns shows a notice the service refuses through `balloons`, which must outlive it.
std::unique_ptr<Notifier> CreateSessionNotifier(Notifier& balloons);

} // namespace tern
