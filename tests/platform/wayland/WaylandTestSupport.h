#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tern::test {

// True when main() reached the compositor of WAYLAND_DISPLAY and created the GUI application on it.
bool HaveCompositor();

// Serves events until `condition` holds or `timeoutMs` passed; returns the condition's last value.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs a tool of the session (wl-paste, grim, swaymsg) to its end under a time-out, with `input` on
// its standard input; its standard output, or nothing when it failed or did not end in time.
std::optional<QByteArray> RunTool(const QString& program, const QStringList& arguments,
                                  const QByteArray& input = {}, int timeoutMs = 5000);

// Another client owning the selection with one type: wl-copy in the foreground until it loses the
// selection or this object goes.
class SelectionOwner
{
public:
    SelectionOwner(const QString& type, const QByteArray& bytes);
    ~SelectionOwner();
    SelectionOwner(const SelectionOwner&) = delete;
    SelectionOwner& operator=(const SelectionOwner&) = delete;

private:
    QProcess m_process;
};

// Our test window (tern_wayland_test_window) on the toolkit's Wayland platform: a text field holding
// "start" that reports on its standard output when it gains and loses the focus ("focus", "blur"), each
// new text
// ("text:...") and each new selection ("selected:...").
// With a colour it shows only that colour and reports "painted" once it has drawn it.
class TestWindow
{
public:
    explicit TestWindow(const QString& title, const QString& colour = {});
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    // Waits until the window has reported `line` (a whole line of its output) `times` times in all.
    bool waitForLine(const QString& line, int times = 1, int timeoutMs = 5000);

private:
    QProcess m_process;
    QStringList m_lines;
};

} // namespace tern::test
