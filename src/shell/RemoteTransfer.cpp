#include "shell/RemoteTransfer.h"

#include "clipboard/KeyedSnapshot.h"
#include "config/ConfStore.h"
#include "lang/TextKeys.h"
#include "service/ServiceClient.h"
#include "service/ServiceProtocol.h"
#include "util/Errors.h"
#include "util/TextRoutines.h"

namespace tern {

RemoteTransfer::RemoteTransfer(const TConfStore& conf, const TextLookup& texts, SnapshotClipboard& snapshots,
                               platform::SystemClipboard& clipboard, platform::KeyInjector& keys,
                               platform::WindowFocus& focus)
    : m_conf(conf), m_texts(texts), m_snapshots(snapshots), m_clipboard(clipboard), m_keys(keys),
      m_focus(focus)
{
}

void RemoteTransfer::SimulateCopy()
{
    m_keys.sendCtrlKey('C');
}

void RemoteTransfer::copyFailed() const
{
    throw Error(m_texts.GetText("GLOBAL", "mCopyFailed"));
}

UploadRequest RemoteTransfer::snapshotUpload()
{
    std::string snapshot = m_snapshots.captureSnapshot();
    if (snapshot.size() > kMaxSnapshotBytes)
        throw Error(TooLargeText(kMaxSnapshotBytes));
    return {SaveUrl(m_conf.ServiceHost, m_conf.Login, m_conf.Password), std::move(snapshot)};
}

void RemoteTransfer::acceptSaveReply(const HttpReply& outcome, const std::string& reply,
                                     const std::string& address) const
{
    if (!SaveSucceeded(
            UploadReplyObject(outcome, reply, address, ConnectionProblemText(m_texts, m_conf.ServiceHost))))
        throw Error(m_texts.GetText("GLOBAL", "mUploadFailed"));
}

std::optional<KeyRequest> RemoteTransfer::copyKey() const
{
    if (m_conf.EndToEndKey.empty())
        return std::nullopt;
    return KeyRequest{m_conf.EndToEndKey, KeySchemeForCopies()};
}

std::optional<KeyRequest> RemoteTransfer::pasteKey(const HttpReply& reply) const
{
    if (m_conf.EndToEndKey.empty() || !reply.arrived())
        return std::nullopt;
    try {
        if (const std::optional<KeyScheme> scheme = FindKeyScheme(reply.body, 0))
            return KeyRequest{m_conf.EndToEndKey, *scheme};
    } catch (const Error&) {
        // A scheme record that cannot be read: the restore reports it.
    }
    return std::nullopt;
}

std::string RemoteTransfer::downloadAddress() const
{
    return ReadUrl(m_conf.ServiceHost, m_conf.Login, m_conf.Password);
}

bool RemoteTransfer::restore(const HttpReply& reply, const std::string& address)
{
    try {
        return RestoreDownloadedSnapshot(m_snapshots, reply, address,
                                         ConnectionProblemText(m_texts, m_conf.ServiceHost));
    } catch (const Error& error) {
        // The copy needs a key this computer does not have: said in the program's language.
        if (std::string_view(error.what()) == kEndToEndKeyNeededText)
            throw Error(TextOf(m_texts, text::kKeyNeeded));
        throw;
    }
}

void RemoteTransfer::SimulatePaste(bool restored, std::uint64_t before, platform::WindowHandle target)
{
    if (!restored || m_clipboard.sequenceNumber() <= before)
        throw Error(m_texts.GetText("GLOBAL", "mPasteFailed"));
    // The download takes a while; Ctrl+V goes to the window the command was meant for, not to one
    // that came forward meanwhile.
    if (target != 0 && m_focus.foregroundWindow() != target)
        m_focus.forceForegroundWindow(target);
    // Without a way to inject Ctrl+V nothing was pasted, though the clipboard now holds the data.
    if (!m_keys.sendCtrlKey('V'))
        throw Error(m_texts.GetText("GLOBAL", "mPasteFailed"));
}

} // namespace tern
