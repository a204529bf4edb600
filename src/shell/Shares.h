#pragma once

#include "notify/Notifier.h"
#include "platform/Bitmap.h"
#include "platform/Clipboard.h"
#include "platform/DesktopShell.h"
#include "platform/MessageBoxes.h"
#include "platform/ScreenCapture.h"
#include "platform/WindowFocus.h"
#include "service/HttpTransport.h"
#include "service/SnapshotClipboard.h"
#include "shell/RemoteTransfer.h"
#include "util/TextLookup.h"

#include <cstdint>
#include <string>

namespace tern {

class TConfStore;
class TfClip;

// The steps of the share commands without their waits: converting the clipboard into a share and
// addressing its upload, reading the reply, publishing the link, capturing the screen or a window,
// keeping a captured picture until its share has succeeded, and the area selector's palette
// settings. The command runs wait between the steps (the capture delay, the selector, the upload).
// Each step that fails throws an error whose text is fit for the user. GUI thread only.
class Shares
{
public:
    struct Desktop
    {
        platform::SystemClipboard& clipboard;
        platform::ScreenCapture& screen;
        platform::WindowFocus& focus;
        platform::DesktopShell& shell;
        platform::MessageBoxes& messageBoxes;
    };

    // `dataFolder` holds the picture of a share that has not yet succeeded.
    Shares(TConfStore& conf, const TextLookup& texts, SnapshotClipboard& snapshots, Desktop desktop,
           Notifier& notifier, std::string dataFolder);

    // Converts the clipboard into a share payload and addresses its upload; throws for a payload
    // over the limit.
    UploadRequest clipboardShareUpload();
    // The access key of the upload's reply (never empty: every failure throws).
    std::string acceptShareReply(const HttpReply& outcome, const std::string& reply,
                                 const std::string& address) const;
    // The link of `accessKey` becomes LastLink, replaces the clipboard's content, and a balloon offers
    // to open it.
    void publishLink(const std::string& accessKey);

    // Announces a capture delay longer than 5 seconds with a balloon.
    void announceDelay(int seconds);
    // The whole virtual desktop, or the window in front with its frame; throws when there is nothing
    // to capture or the screen cannot be read.
    platform::Bitmap captureScreen(bool currentWindowOnly);
    // Puts the captured picture on the clipboard and keeps it in LastSnapshotPath.
    void keepCapture(const platform::Bitmap& picture);
    // Puts the picture that an earlier share left in LastSnapshotPath on the clipboard. A file that
    // is not a readable picture is removed and reported.
    void restoreKeptCapture();
    // Removes the kept picture: its share succeeded, or there was nothing to share.
    void dropKeptCapture();
    // The left-over capture of a share that did not finish.
    std::string LastSnapshotPath() const { return m_dataFolder + "last_snap.bmp"; }

    // The selector's palette settings: colour, font size and pen width indices.
    struct Palette
    {
        std::int32_t color = 0;
        std::int32_t font = 0;
        std::int32_t line = 0;
    };
    // Gives the selector the stored palette settings; stores the choices of a selector.
    void givePaletteSettings(TfClip& selector) const;
    void keepPaletteSettings(const Palette& palette);

    // The address of the last successful share of this run; empty until then.
    const std::string& LastLink() const noexcept { return m_lastLink; }

private:
    TConfStore& m_conf;
    const TextLookup& m_texts;
    SnapshotClipboard& m_snapshots;
    Desktop m_desktop;
    Notifier& m_notifier;
    std::string m_dataFolder;
    std::string m_lastLink;
};

} // namespace tern
