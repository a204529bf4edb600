#pragma once

#include "clipboard/ExClipboard.h"
#include "service/SnapshotClipboard.h"

#include <functional>
#include <string>

namespace tern {

// The clipboard object as the service operations use it: whole snapshots and share payloads.
class ClipboardSnapshots final : public SnapshotClipboard
{
public:
    // `password` is read whenever a container is made, so a new sign-in takes effect at once.
    // `copyFailedText` gives the text of the error when a capture holds no format.
    ClipboardSnapshots(platform::SystemClipboard& clipboard, const std::string& password,
                       std::function<std::string()> copyFailedText);

    // Captures every format; a clipboard that yields no format fails: there is nothing to upload.
    std::string captureSnapshot() override;
    bool restoreSnapshot(const std::string& stream) override;
    int SaveShareable(std::string& payload) override;

    TExClipboard& clipboard() noexcept { return m_clipboard; }

private:
    TExClipboard m_clipboard;
    std::function<std::string()> m_copyFailedText;
};

} // namespace tern
