#pragma once

#include "clipboard/EndToEndKey.h"
#include "service/WorkerThread.h"

#include <functional>
#include <optional>
#include <string>

namespace tern {

// An end-to-end key that a command is about to need: its passphrase and the scheme it is derived
// under.
struct KeyRequest
{
    std::string passphrase;
    KeyScheme scheme;
};

// Derives an end-to-end key on a worker thread, so that the command that needs it next finds it kept
// (EndToEndKeyValue) instead of deriving it on the GUI thread. A derivation that fails leaves nothing
// kept: the command then meets the error itself. Starts when constructed; `onDone` runs on the worker's
// thread once done() holds (see WorkerJob). Destroying it waits for the derivation.
class TKeyThread
{
public:
    TKeyThread(KeyRequest request, std::function<void()> onDone = {});
    ~TKeyThread();
    TKeyThread(const TKeyThread&) = delete;
    TKeyThread& operator=(const TKeyThread&) = delete;

    bool done() const noexcept { return m_worker.done(); }

private:
    const KeyRequest m_request;
    WorkerThread m_worker; // last: joined before the other members go
};

} // namespace tern
