#include "shell/ClipboardSnapshots.h"

#include "util/Errors.h"

namespace tern {

ClipboardSnapshots::ClipboardSnapshots(platform::SystemClipboard& clipboard, const std::string& password,
                                       const std::string& passphrase,
                                       std::function<std::string()> copyFailedText)
    : m_clipboard(clipboard, [&password] { return password; }), m_copyFailedText(std::move(copyFailedText))
{
    m_clipboard.SetEndToEndKey([&passphrase] { return passphrase; });
}

std::string ClipboardSnapshots::captureSnapshot()
{
    m_clipboard.CaptureAll();
    if (m_clipboard.Formats.empty())
        throw Error(m_copyFailedText());
    std::string stream;
    m_clipboard.SaveToStream(stream);
    return stream;
}

bool ClipboardSnapshots::restoreSnapshot(const std::string& stream)
{
    m_clipboard.LoadFromStream(stream);
    return m_clipboard.RestoreAll();
}

int ClipboardSnapshots::SaveShareable(std::string& payload)
{
    return m_clipboard.SaveShareable(payload);
}

} // namespace tern
