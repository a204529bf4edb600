#include "platform/win/MessageWindow.h"

#include "util/Errors.h"

namespace tern::platform::win {

namespace {

ATOM registerClass()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = MessageWindow::className();
    return RegisterClassExW(&windowClass);
}

} // namespace

const wchar_t* MessageWindow::className() noexcept
{
    return L"TernClipboardMessageWindow";
}

MessageWindow::MessageWindow(Kind kind, const std::wstring& title, Handler handler)
    : m_handler(std::move(handler))
{
    static const ATOM registered = registerClass();
    if (registered == 0)
        throw Error("Cannot create the program's message window.");
    const HWND parent = kind == Kind::MessageOnly ? HWND_MESSAGE : nullptr;
    const DWORD style = kind == Kind::MessageOnly ? 0 : WS_POPUP;
    m_window = CreateWindowExW(kind == Kind::MessageOnly ? 0 : WS_EX_TOOLWINDOW, className(), title.c_str(),
                               style, 0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_window == nullptr)
        throw Error("Cannot create the program's message window.");
    // The procedure is set after creation: until then no message needs our handler.
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageWindow::procedure));
}

MessageWindow::~MessageWindow()
{
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
}

LRESULT CALLBACK MessageWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->m_handler) {
        // No exception may cross the system's call into this procedure.
        try {
            if (const std::optional<LRESULT> result = self->m_handler(message, wParam, lParam))
                return *result;
        } catch (...) {
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tern::platform::win
