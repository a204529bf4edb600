// Hotkeys, injected keys and the foreground window. They need a window with the input focus: under
// Wine, a desktop whose window manager gives new windows the focus (scripts/headless-desktop.sh).
#include "WinTestSupport.h"
#include "platform/win/WinGlobalHotkeys.h"
#include "platform/win/WinKeyInjector.h"
#include "platform/win/WinScreenCapture.h"
#include "platform/win/WinWindowFocus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace tern::platform::win {
namespace {

using test::PumpUntil;

// The window manager and Wine's display driver answer in their own time on a busy machine.
constexpr int kDesktopWaitMs = 15000;

// A visible top-level window that records the key messages it receives.
class KeyWindow
{
public:
    explicit KeyWindow(const wchar_t* title)
    {
        // Painted in pure red, so that a screen capture can find it.
        static const ATOM registered = [] {
            WNDCLASSEXW windowClass = {};
            windowClass.cbSize = sizeof(windowClass);
            windowClass.lpfnWndProc = &KeyWindow::procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
            windowClass.lpszClassName = L"TernKeyTestWindow";
            return RegisterClassExW(&windowClass);
        }();
        m_window = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(registered)), title,
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~KeyWindow() { DestroyWindow(m_window); }
    KeyWindow(const KeyWindow&) = delete;
    KeyWindow& operator=(const KeyWindow&) = delete;

    HWND handle() const noexcept { return m_window; }
    WindowHandle id() const noexcept { return reinterpret_cast<std::uintptr_t>(m_window); }
    // (virtual key, down) of every key message, in arrival order.
    std::vector<std::pair<WPARAM, bool>> keys;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<KeyWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message >= WM_KEYDOWN && message <= WM_SYSKEYUP && message != WM_CHAR &&
            message != WM_SYSCHAR && message != WM_DEADCHAR)
            self->keys.emplace_back(wParam, message == WM_KEYDOWN || message == WM_SYSKEYDOWN);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

TEST(HotkeyModifiers, ShortcutFlagsBecomeRegisterHotKeyModifiers)
{
    const std::pair<std::uint16_t, UINT> cases[] = {
        {0x6059, MOD_CONTROL | MOD_SHIFT},           {0x8041, MOD_ALT}, {0x2070, MOD_SHIFT},
        {0xE07B, MOD_SHIFT | MOD_CONTROL | MOD_ALT}, {0x0041, 0},
    };
    for (const auto& [shortcut, modifiers] : cases)
        EXPECT_EQ(HotkeyModifiers(shortcut), modifiers) << std::hex << shortcut;
}

class WinInputTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_window = std::make_unique<KeyWindow>(L"Tern key test");
        WinWindowFocus().forceForegroundWindow(m_window->id());
        if (!PumpUntil([this] { return GetForegroundWindow() == m_window->handle(); }, kDesktopWaitMs))
            GTEST_SKIP() << "no window receives the input focus on this desktop";
    }

    std::unique_ptr<KeyWindow> m_window;
};

TEST_F(WinInputTest, InjectedCopyArrivesAsCtrlKeyInOrder)
{
    WinKeyInjector injector;
    ASSERT_TRUE(injector.sendCtrlKey('C'));
    ASSERT_TRUE(PumpUntil(
        [this] {
            return !m_window->keys.empty() &&
                   m_window->keys.back() == std::pair<WPARAM, bool>(VK_CONTROL, false);
        },
        kDesktopWaitMs));
    // The releases of Shift and Alt (keys that were not down) may or may not be reported; the rest
    // comes in this order.
    std::vector<std::pair<WPARAM, bool>> pressed;
    for (const auto& key : m_window->keys) {
        if (key.first != VK_SHIFT && key.first != VK_MENU)
            pressed.push_back(key);
    }
    EXPECT_EQ(pressed, (std::vector<std::pair<WPARAM, bool>>{
                           {VK_CONTROL, true}, {'C', true}, {'C', false}, {VK_CONTROL, false}}));
    EXPECT_FALSE(injector.sendCtrlKey(0));
}

TEST_F(WinInputTest, RegisteredHotkeyIsDeliveredAndHeldAgainstOthers)
{
    WinGlobalHotkeys hotkeys;
    std::vector<int> pressed;
    hotkeys.setHandler([&pressed](int id) { pressed.push_back(id); });
    const std::uint16_t shortcut = 0x6000 | VK_F9; // Ctrl+Shift+F9
    ASSERT_TRUE(hotkeys.registerHotkey(1, shortcut));
    EXPECT_FALSE(WinGlobalHotkeys().registerHotkey(1, shortcut)) << "the combination is held";

    INPUT keys[6] = {};
    const WORD sequence[6] = {VK_CONTROL, VK_SHIFT, VK_F9, VK_F9, VK_SHIFT, VK_CONTROL};
    for (int i = 0; i < 6; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i];
        keys[i].ki.dwFlags = i < 3 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(SendInput(6, keys, sizeof(INPUT)), 6U);
    EXPECT_TRUE(PumpUntil([&pressed] { return !pressed.empty(); }, kDesktopWaitMs));
    EXPECT_EQ(pressed, std::vector<int>{1});

    // Released, the combination is free for another registration.
    hotkeys.unregisterHotkey(1);
    EXPECT_TRUE(WinGlobalHotkeys().registerHotkey(2, shortcut));
}

TEST_F(WinInputTest, ForegroundWindowComesBackWhenForced)
{
    WinWindowFocus focus;
    EXPECT_EQ(focus.foregroundWindow(), m_window->id());
    const KeyWindow other(L"Tern other window");
    // The window manager activates a window only once it is mapped: ask until it has.
    ASSERT_TRUE(PumpUntil(
        [&] {
            focus.forceForegroundWindow(other.id());
            return focus.foregroundWindow() == other.id();
        },
        kDesktopWaitMs));
    EXPECT_TRUE(focus.forceForegroundWindow(m_window->id()));
    // The window manager may still carry out requests for the other window made by the loop above
    // after this one: ask again until ours is the last it carried out.
    EXPECT_TRUE(PumpUntil(
        [&] {
            if (focus.foregroundWindow() == m_window->id())
                return true;
            focus.forceForegroundWindow(m_window->id());
            return false;
        },
        kDesktopWaitMs));
    EXPECT_FALSE(focus.forceForegroundWindow(0));
}

TEST_F(WinInputTest, CaptureShowsTheWindowInsideItsFrame)
{
    WinScreenCapture capture;
    const ScreenRect desktop = capture.virtualDesktop();
    ASSERT_FALSE(desktop.empty());
    const ScreenRect frame = capture.windowFrameRect(m_window->id());
    RECT client = {};
    GetClientRect(m_window->handle(), &client);
    POINT centre = {client.right / 2, client.bottom / 2};
    ClientToScreen(m_window->handle(), &centre);
    EXPECT_TRUE(centre.x > frame.left && centre.x < frame.left + frame.width && centre.y > frame.top &&
                centre.y < frame.top + frame.height);
    const ScreenRect spot{centre.x - 2, centre.y - 2, 4, 4};
    UpdateWindow(m_window->handle());
    std::uint32_t seen = 0;
    EXPECT_TRUE(PumpUntil(
        [&] {
            const ScreenPicture picture = capture.capture(spot);
            seen = picture.pixels.empty() ? 0 : picture.pixels.front();
            return picture.pixels.size() == 16 &&
                   std::all_of(picture.pixels.begin(), picture.pixels.end(),
                               [](std::uint32_t pixel) { return pixel == 0xFFFF0000U; });
        },
        kDesktopWaitMs))
        << std::hex << seen << " at " << std::dec << centre.x << "," << centre.y << " frame " << frame.left
        << "," << frame.top << " " << frame.width << "x" << frame.height;
    EXPECT_TRUE(capture.capture({0, 0, 0, 5}).empty());
    EXPECT_TRUE(capture.windowFrameRect(0).empty());
}

} // namespace
} // namespace tern::platform::win
