#include "shell/KeyDerivation.h"

namespace tern {

TKeyThread::TKeyThread(KeyRequest request, std::function<void()> onDone) : m_request(std::move(request))
{
    m_worker.start(
        [this] {
            try {
                EndToEndKeyValue(m_request.passphrase, m_request.scheme);
            } catch (...) {
                // Nothing is kept; the command derives again and reports what went wrong.
            }
        },
        std::move(onDone));
}

TKeyThread::~TKeyThread() = default;

} // namespace tern
