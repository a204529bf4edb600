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
    // `password` and the end-to-end passphrase `passphrase` (empty: none) are read at every capture and
    // load, so a new sign-in or key takes effect at once. `copyFailedText` gives the text of the error
    // when a capture holds no format.
    ClipboardSnapshots(platform::SystemClipboard& clipboard, const std::string& password,
                       const std::string& passphrase, std::function<std::string()> copyFailedText);

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
