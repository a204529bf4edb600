#include "shell/Shares.h"

#include "annotate/TfClip.h"
#include "clipboard/BitmapFile.h"
#include "config/ConfStore.h"
#include "lang/TextKeys.h"
#include "platform/ShellRoutines.h"
#include "service/ServiceClient.h"
#include "service/ServiceProtocol.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/TextRoutines.h"

namespace tern {

namespace {

// A delay longer than this is announced with a balloon.
constexpr int kAnnouncedDelaySeconds = 5;
constexpr int kDelayBalloonSeconds = 7;
constexpr int kLinkBalloonSeconds = 10;

} // namespace

Shares::Shares(TConfStore& conf, const TextLookup& texts, SnapshotClipboard& snapshots, Desktop desktop,
               Notifier& notifier, std::string dataFolder)
    : m_conf(conf), m_texts(texts), m_snapshots(snapshots), m_desktop(desktop), m_notifier(notifier),
      m_dataFolder(std::move(dataFolder))
{
}

UploadRequest Shares::clipboardShareUpload()
{
    std::string payload;
    const int kind = m_snapshots.SaveShareable(payload);
    if (payload.size() > kMaxSharePayloadBytes)
        throw Error(TooLargeText(kMaxSharePayloadBytes));
    return {ShareUrl(m_conf.ServiceHost, m_conf.Login, m_conf.Password, kind), std::move(payload)};
}

std::string Shares::acceptShareReply(const HttpReply& outcome, const std::string& reply,
                                     const std::string& address) const
{
    return ShareAccessKey(
        UploadReplyObject(outcome, reply, address, ConnectionProblemText(m_texts, m_conf.ServiceHost)),
        m_texts.GetText("GLOBAL", "mUploadFailed"));
}

void Shares::publishLink(const std::string& accessKey)
{
    m_lastLink = shareLinkUrl(m_conf.ServiceHost, accessKey);
    m_desktop.clipboard.setText(m_lastLink);
    m_notifier.notify(SubstituteArgument(m_texts.GetText("GLOBAL", "mLinkStored"), m_lastLink),
                      kLinkBalloonSeconds, BalloonKind::Information,
                      {{m_texts.GetText("GLOBAL", "bOpenLink"), [this] {
                            m_notifier.hideNotice();
                            OpenTarget(m_desktop.shell, &m_desktop.messageBoxes, m_lastLink, true);
                        }}});
}

void Shares::announceDelay(int seconds)
{
    if (seconds > kAnnouncedDelaySeconds)
        m_notifier.notify(m_texts.GetText("GLOBAL", "mDelayedCapture"), kDelayBalloonSeconds,
                          BalloonKind::Information);
}

platform::Bitmap Shares::captureScreen(bool currentWindowOnly)
{
    platform::ScreenCapture& screen = m_desktop.screen;
    const platform::ScreenRect rect = currentWindowOnly
                                          ? screen.windowFrameRect(m_desktop.focus.foregroundWindow())
                                          : screen.virtualDesktop();
    if (rect.empty())
        throw Error(currentWindowOnly ? "There is no window in front to capture."
                                      : "There is no screen to capture.");
    platform::Bitmap picture = platform::ToBitmap(screen.capture(rect));
    if (picture.empty())
        throw Error("The screen could not be read.");
    return picture;
}

void Shares::keepCapture(const platform::Bitmap& picture)
{
    m_desktop.clipboard.replace({{platform::kFormatBitmap, picture}});
    SaveBitmapFile(LastSnapshotPath(), picture);
}

void Shares::restoreKeptCapture()
{
    const std::string path = LastSnapshotPath();
    platform::Bitmap picture;
    try {
        picture = LoadBitmapFile(path);
    } catch (const Error& error) {
        // A file that cannot be shared would make every later command ask again: it goes, once.
        RemoveFile(path);
        throw Error("The picture of the last failed share could not be read, so it was removed. (" +
                    std::string(error.what()) + ")");
    }
    m_desktop.clipboard.replace({{platform::kFormatBitmap, picture}});
}

void Shares::dropKeptCapture()
{
    RemoveFile(LastSnapshotPath());
}

void Shares::givePaletteSettings(TfClip& selector) const
{
    selector.SetCurColor(m_conf.CurColor);
    selector.SetCurFont(m_conf.CurFont);
    selector.SetCurLine(m_conf.CurLine);
}

void Shares::keepPaletteSettings(const Palette& palette)
{
    m_conf.Apply({.CurColor = palette.color, .CurLine = palette.line, .CurFont = palette.font});
}

} // namespace tern
