#include "platform/win/WinClipboard.h"

#include "clipboard/CrossSystemFormats.h"
#include "clipboard/DibPicture.h"
#include "clipboard/FileDropList.h"
#include "platform/win/WideText.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace tern::platform::win {

namespace {

const char* const kCannotOpen = "Cannot open clipboard";
// Another program may hold the clipboard for a moment (a clipboard viewer reading it): a few short
// retries before giving up.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 20;
constexpr std::uint32_t kGdiObjectFirst = 0x0300;
constexpr std::uint32_t kGdiObjectLast = 0x03FF;

// The clipboard, open for one operation.
class OpenClipboardScope
{
public:
    explicit OpenClipboardScope(HWND owner)
    {
        for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
            if (OpenClipboard(owner))
                return;
            Sleep(kOpenRetryMs);
        }
        throw Error(kCannotOpen);
    }
    ~OpenClipboardScope() { CloseClipboard(); }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
};

// The bytes of a memory block on the open clipboard; nothing when it is not one.
std::optional<std::string> blockBytes(HANDLE handle)
{
    if (handle == nullptr)
        return std::nullopt;
    const SIZE_T size = GlobalSize(handle);
    if (size == 0)
        return std::nullopt;
    const void* memory = GlobalLock(handle);
    if (memory == nullptr)
        return std::nullopt;
    std::string bytes(static_cast<const char*>(memory), size);
    GlobalUnlock(handle);
    return bytes;
}

// True for a plain drive path on a drive of this computer: a drive letter mapped to a network share
// would connect to it as a network path does.
bool onLocalDrive(const std::string& path)
{
    if (!IsWindowsDrivePath(path))
        return false;
    const wchar_t root[] = {static_cast<wchar_t>(path[0]), L':', L'\\', L'\0'};
    switch (GetDriveTypeW(root)) {
    case DRIVE_FIXED:
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
        return true;
    default:
        return false;
    }
}

// The full path of an existing file that `path` names on a local drive. Paths from another computer
// are checked as text first (GetFullPathNameW only computes): nothing that could name a network
// place reaches a call that looks at files.
std::optional<std::string> existingWindowsFile(const std::string& path)
{
    if (!IsLocalWindowsPath(path))
        return std::nullopt;
    const std::wstring wide = Widen(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return std::nullopt;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length)
        return std::nullopt;
    full.resize(written);
    std::string narrow = Narrow(full);
    if (!onLocalDrive(narrow) || GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return narrow;
}

// A file drop list of a Windows snapshot with only the paths on local drives, which the pasting
// program may then open; nothing when none is.
std::optional<LocalFormat> localDropList(const std::string& bytes)
{
    std::vector<std::string> paths = DecodeDropFiles(bytes);
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [](const std::string& path) { return !onLocalDrive(path); }),
                paths.end());
    if (paths.empty())
        return std::nullopt;
    return LocalFormat{kWindowsFileDrop, {}, EncodeDropFiles(paths)};
}

const std::string& bytesOf(const ClipboardEntry& entry)
{
    const auto* bytes = std::get_if<std::string>(&entry.data);
    if (bytes == nullptr)
        throw Error("Invalid clipboard data");
    return *bytes;
}

// A memory block for the clipboard, freed unless the clipboard takes it.
class ClipboardBlock
{
public:
    // A block holding a copy of `bytes`.
    explicit ClipboardBlock(std::string_view bytes)
        : m_block(GlobalAlloc(GMEM_MOVEABLE, std::max<SIZE_T>(bytes.size(), 1)))
    {
        if (m_block == nullptr)
            throw Error(kCannotOpen);
        void* memory = GlobalLock(m_block);
        if (memory == nullptr) {
            GlobalFree(m_block);
            throw Error(kCannotOpen);
        }
        std::memcpy(memory, bytes.data(), bytes.size());
        GlobalUnlock(m_block);
    }
    ~ClipboardBlock()
    {
        if (m_block != nullptr)
            GlobalFree(m_block);
    }
    ClipboardBlock(ClipboardBlock&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
    ClipboardBlock(const ClipboardBlock&) = delete;
    ClipboardBlock& operator=(const ClipboardBlock&) = delete;
    ClipboardBlock& operator=(ClipboardBlock&&) = delete;

    // Puts the block under `format` on the open clipboard, which then owns it.
    void put(UINT format)
    {
        if (SetClipboardData(format, m_block) == nullptr)
            throw Error(kCannotOpen);
        m_block = nullptr;
    }

private:
    HGLOBAL m_block = nullptr;
};

struct PreparedFormat
{
    UINT format = 0;
    ClipboardBlock block;
};

// The Windows format an entry is put as: its number here, and its bytes when they had to be
// converted (otherwise the entry's own bytes go). A zero number: the entry has none here.
struct LocalForm
{
    UINT format = 0;
    std::optional<std::string> converted;
};

UINT numberOf(const LocalFormat& local)
{
    return local.name.empty() ? local.format : RegisterClipboardFormatW(Widen(local.name).c_str());
}

LocalForm localForm(const ClipboardEntry& entry)
{
    if (entry.format == kFormatBitmap) {
        const auto* bitmap = std::get_if<Bitmap>(&entry.data);
        if (bitmap == nullptr)
            throw Error("Invalid clipboard data");
        return {CF_DIB, DibFromBitmap(*bitmap)};
    }
    std::optional<LocalFormat> local;
    if (IsLinuxFixedForm(entry))
        local = WindowsFormOfLinuxEntry(entry, existingWindowsFile);
    else if (!entry.name.empty())
        return {RegisterClipboardFormatW(Widen(entry.name).c_str()), std::nullopt};
    else if (entry.format == kWindowsFileDrop)
        local = localDropList(bytesOf(entry));
    else if (entry.format < kFirstRegisteredFormat && !WinClipboard::isHandleFormat(entry.format))
        return {entry.format, std::nullopt};
    if (!local)
        return {};
    return {numberOf(*local), std::move(local->bytes)};
}

// The block an entry is put as, the entry freed as the block is made: the bytes exist at most twice
// at any moment (the entry and its converted form, then the converted form and the block). Nothing
// when the entry has no format here or its number is already `taken`.
std::optional<PreparedFormat> prepare(ClipboardEntry& entry, const std::vector<PreparedFormat>& taken)
{
    LocalForm local = localForm(entry);
    // The first entry of a number wins (text/rtf and application/rtf are both Rich Text Format).
    if (local.format == 0 || std::any_of(taken.begin(), taken.end(), [&](const PreparedFormat& earlier) {
            return earlier.format == local.format;
        })) {
        ReleaseEntryData(entry);
        return std::nullopt;
    }
    if (local.converted) {
        ReleaseEntryData(entry);
        return PreparedFormat{local.format, ClipboardBlock(*local.converted)};
    }
    std::optional<PreparedFormat> prepared(PreparedFormat{local.format, ClipboardBlock(bytesOf(entry))});
    ReleaseEntryData(entry);
    return prepared;
}

} // namespace

WinClipboard::WinClipboard()
try : m_owner(MessageWindow::Kind::MessageOnly, L"", {}) {
} catch (const Error&) {
    throw Error(kCannotOpen);
}

bool WinClipboard::isHandleFormat(std::uint32_t format)
{
    switch (format) {
    case CF_BITMAP:
    case CF_METAFILEPICT:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
    case CF_OWNERDISPLAY:
    case CF_DSPBITMAP:
    case CF_DSPMETAFILEPICT:
    case CF_DSPENHMETAFILE:
        return true;
    default:
        return format >= kGdiObjectFirst && format <= kGdiObjectLast;
    }
}

std::vector<std::uint32_t> WinClipboard::formats()
{
    const OpenClipboardScope open(m_owner.handle());
    std::vector<std::uint32_t> result;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
        result.push_back(format);
    return result;
}

bool WinClipboard::hasFormat(std::uint32_t format)
{
    if (format == kFormatBitmap)
        return IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB) ||
               IsClipboardFormatAvailable(CF_DIBV5);
    return IsClipboardFormatAvailable(format) != FALSE;
}

std::optional<std::string> WinClipboard::data(std::uint32_t format)
{
    if (isHandleFormat(format))
        return std::nullopt;
    const OpenClipboardScope open(m_owner.handle());
    return blockBytes(GetClipboardData(format));
}

std::optional<Bitmap> WinClipboard::bitmap()
{
    const OpenClipboardScope open(m_owner.handle());
    for (const UINT format : {CF_DIB, CF_DIBV5}) {
        if (!IsClipboardFormatAvailable(format))
            continue;
        if (const std::optional<std::string> dib = blockBytes(GetClipboardData(format))) {
            if (std::optional<Bitmap> picture = BitmapFromDib(*dib))
                return picture;
        }
    }
    return std::nullopt;
}

std::string WinClipboard::formatName(std::uint32_t format)
{
    if (format < kFirstRegisteredFormat)
        return {};
    wchar_t name[256] = {};
    const int length = GetClipboardFormatNameW(format, name, 256);
    return length > 0 ? Narrow(std::wstring_view(name, static_cast<std::size_t>(length))) : std::string();
}

bool WinClipboard::replace(std::vector<ClipboardEntry> entries)
{
    std::vector<PreparedFormat> prepared;
    for (ClipboardEntry& entry : entries) {
        if (std::optional<PreparedFormat> format = prepare(entry, prepared))
            prepared.push_back(std::move(*format));
    }
    if (prepared.empty())
        return false;
    const OpenClipboardScope open(m_owner.handle());
    if (!EmptyClipboard())
        throw Error(kCannotOpen);
    for (PreparedFormat& format : prepared)
        format.block.put(format.format);
    return true;
}

void WinClipboard::setText(const std::string& utf8)
{
    replace({ClipboardEntry(kFormatUnicodeText, Utf16LeTextBlock(utf8))});
}

std::uint64_t WinClipboard::sequenceNumber()
{
    return GetClipboardSequenceNumber();
}

} // namespace tern::platform::win
