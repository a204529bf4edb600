#include "notify/SessionNotifier.h"

namespace tern {

// Windows places the balloon by the tray icon itself: the balloon serves every session.
std::unique_ptr<Notifier> CreateSessionNotifier(Notifier& /*balloons*/)
{
    return nullptr;
}

} // namespace tern
