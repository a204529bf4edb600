#pragma once

#include "platform/Clipboard.h"
#include "platform/KeyInjector.h"
#include "platform/WindowFocus.h"
#include "service/HttpTransport.h"
#include "service/SnapshotClipboard.h"
#include "shell/KeyDerivation.h"
#include "util/TextLookup.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tern {

class TConfStore;

// An upload as a worker sends it: the full address with its query, and the body's payload.
struct UploadRequest
{
    std::string address;
    std::string payload;
};

// The steps of Remote Copy and Remote Paste without their waits: the command runs wait between them
// (for the clipboard after Ctrl+C, for the transfer workers). Each step that fails throws an error
// whose text is fit for the user. GUI thread only.
class RemoteTransfer
{
public:
    RemoteTransfer(const TConfStore& conf, const TextLookup& texts, SnapshotClipboard& snapshots,
                   platform::SystemClipboard& clipboard, platform::KeyInjector& keys,
                   platform::WindowFocus& focus);

    // The clipboard's change counter.
    std::uint64_t clipboardSequence() const { return m_clipboard.sequenceNumber(); }
    // Sends Ctrl+C to the window in front; the clipboard changes later, if at all.
    void SimulateCopy();
    // The copy did not change the clipboard in time: throws GLOBAL/mCopyFailed.
    [[noreturn]] void copyFailed() const;
    // Captures every format of the clipboard into a snapshot and addresses its upload; throws for a
    // clipboard without formats and for a snapshot over the limit.
    UploadRequest snapshotUpload();
    // Reads the upload's reply: throws GLOBAL/mUploadFailed for a reply without a status, the
    // service's error for another status, and a parse error for a reply that is not JSON.
    void acceptSaveReply(const HttpReply& outcome, const std::string& reply,
                         const std::string& address) const;

    // The end-to-end key that this computer's copies are keyed with; nothing without a key.
    std::optional<KeyRequest> copyKey() const;
    // The end-to-end key that the snapshot downloaded in `reply` opens with; nothing without a key, or
    // for a snapshot copied without one (or one that the restore will refuse anyway).
    std::optional<KeyRequest> pasteKey(const HttpReply& reply) const;

    // The address of the stored snapshot.
    std::string downloadAddress() const;
    // Puts a downloaded snapshot on the clipboard; false when nothing could be put there. Throws, naming
    // what went wrong, when no response came or the service failed, and with GLOBAL/mKeyNeeded, the
    // clipboard unchanged, for a keyed snapshot that this computer's key (or none) does not open.
    bool restore(const HttpReply& reply, const std::string& address);
    // After the clipboard has reported the restore: throws GLOBAL/mPasteFailed unless the download
    // was restored and raised the clipboard's counter above `before`, then sends Ctrl+V to `target`,
    // the window the command was chosen in, brought to the front again if another window came forward
    // during the download (0: to the window in front).
    void SimulatePaste(bool restored, std::uint64_t before, platform::WindowHandle target);

private:
    const TConfStore& m_conf;
    const TextLookup& m_texts;
    SnapshotClipboard& m_snapshots;
    platform::SystemClipboard& m_clipboard;
    platform::KeyInjector& m_keys;
    platform::WindowFocus& m_focus;
};

} // namespace tern
