#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace tern::platform::win {

// A window of ours that is never shown and exists to receive messages: hotkeys, the clipboard's
// ownership, the private messages of other processes. Its handler sees every message first; what it
// does not answer goes to the default window procedure. Messages arrive on the creating thread while
// that thread pumps messages (the GUI event loop does).
class MessageWindow
{
public:
    using Handler = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

    enum class Kind {
        MessageOnly,   // not enumerated and not found by FindWindow
        HiddenTopLevel // a top-level window other processes find by its title
    };

    // Throws tern::Error when the window cannot be created.
    MessageWindow(Kind kind, const std::wstring& title, Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND handle() const noexcept { return m_window; }

    // The window class of every such window, by which other processes tell ours from others.
    static const wchar_t* className() noexcept;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler m_handler;
    HWND m_window = nullptr;
};

} // namespace tern::platform::win
