#pragma once

#include <QIcon>
#include <QList>

namespace tern {

// The pictures of the tray and the menus, drawn in code so the program needs no image files.
class TrayIcons
{
public:
    static constexpr int kAnimationFrames = 6;

    // Frame 0 is the normal tray icon; frames 1 to 5 follow it while an upload runs.
    static QList<QIcon> trayFrames();
    // Menu icons 0 to 6: 1 Remote Copy, 2 Remote Paste, 3 Share Clipboard, 4 Share Screen,
    // 5 Share Current Window, 6 Annotate & Share Area (0 is unused).
    static QList<QIcon> menuIcons();
};

} // namespace tern
