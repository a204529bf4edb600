// The shares of a captured picture: the screen, the window in front, an annotated area, and the
// picture of an earlier share that failed.
#include "shell/Loader.h"

#include "annotate/TfClip.h"
#include "clipboard/BitmapFile.h"
#include "lang/TextKeys.h"
#include "platform/qt/QtBitmap.h"
#include "ui/EventWait.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

#include <chrono>

namespace tern {

namespace {

// A delay longer than this is announced with a balloon.
constexpr int kAnnouncedDelaySeconds = 5;
constexpr int kDelayBalloonSeconds = 7;

} // namespace

bool TLoader::DelayCapture(int seconds)
{
    if (seconds > kAnnouncedDelaySeconds)
        trayBalloon().showTrayBalloon(TextOf(*this, text::kDelayedCapture), kDelayBalloonSeconds,
                                      BalloonKind::Information);
    if (seconds > 0)
        ui::waitServingEvents(QDeadlineTimer(std::chrono::seconds(seconds)),
                              [this] { return m_terminating; });
    return !m_terminating;
}

void TLoader::ShareScreen(bool currentWindowOnly, int delay)
{
    if (!DelayCapture(delay))
        return;
    platform::ScreenCapture& screen = m_services.screen;
    const platform::ScreenRect rect = currentWindowOnly
                                          ? screen.windowFrameRect(m_services.focus.foregroundWindow())
                                          : screen.virtualDesktop();
    if (rect.empty())
        throw Error(currentWindowOnly ? "There is no window in front to capture."
                                      : "There is no screen to capture.");
    const platform::Bitmap picture = platform::ToBitmap(screen.capture(rect));
    if (picture.empty())
        throw Error("The screen could not be read.");
    shareCapture(picture);
}

void TLoader::ShareArea(int delay)
{
    if (!DelayCapture(delay))
        return;
    platform::Bitmap picture;
    std::int32_t color = 0;
    std::int32_t font = 0;
    std::int32_t line = 0;
    {
        // The selector ends, and with it the dialog state, before the upload starts.
        TfClip selector(*this);
        selector.SetCurColor(m_conf->CurColor);
        selector.SetCurFont(m_conf->CurFont);
        selector.SetCurLine(m_conf->CurLine);
        if (selector.Execute() == TfClip::kConfirmed)
            picture = platform::qt::BitmapFromImage(selector.ResultBitmap());
        color = selector.CurColor;
        font = selector.CurFont;
        line = selector.CurLine;
    }
    if (!picture.empty())
        shareCapture(picture);
    // Reached after a share and after a cancel alike, not after an error (the picture then stays).
    m_conf->Apply({.CurColor = color, .CurLine = line, .CurFont = font});
    RemoveFile(LastSnapshotPath()); // a cancelled selection leaves no picture behind either
}

void TLoader::ReshareLastSnapshot()
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
    m_services.clipboard.replace({{platform::kFormatBitmap, picture}});
    ShareClipboard();
    RemoveFile(path);
}

void TLoader::shareCapture(const platform::Bitmap& picture)
{
    m_services.clipboard.replace({{platform::kFormatBitmap, picture}});
    SaveBitmapFile(LastSnapshotPath(), picture);
    ShareClipboard();
    RemoveFile(LastSnapshotPath());
}

} // namespace tern
