#include "clipboard/CrossSystemFormats.h"
#include "clipboard/BitmapFile.h"
#include "clipboard/DibPicture.h"
#include "clipboard/FileDropList.h"
#include "clipboard/HtmlClipboardFormat.h"
#include "clipboard/MimeFormatTable.h"
#include "support/NumberedBitmap.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tern {
namespace {

using namespace std::string_literals;
using platform::Bitmap;
using platform::ClipboardEntry;

TEST(FileDropList, RoundTripsPathsAndReadsForeignLists)
{
    const std::vector<std::string> paths = {"C:\\Users\\Zo\xC3\xAB\\a b.txt",
                                            "\\\\server\\share\\\xF0\x9F\x98\x80"};
    const std::string wide = EncodeDropFiles(paths);
    EXPECT_EQ(wide.substr(0, 4), "\x14\0\0\0"s);
    EXPECT_EQ(wide.substr(wide.size() - 4), "\0\0\0\0"s);
    EXPECT_EQ(DecodeDropFiles(wide), paths);

    // Single-byte lists are Windows-1252; a path without its zero is dropped; a header pointing
    // outside the data gives nothing.
    const std::string header = "\x14\0\0\0"s + std::string(12, '\0') + "\0\0\0\0"s;
    EXPECT_EQ(DecodeDropFiles(header + "C:\\caf\xE9\0D:\\x\0\0"s),
              (std::vector<std::string>{"C:\\caf\xC3\xA9", "D:\\x"}));
    EXPECT_EQ(DecodeDropFiles(header + "C:\\a\0D:\\cut"s), std::vector<std::string>{"C:\\a"});
    std::string outside = wide;
    outside[0] = '\x7F';
    EXPECT_TRUE(DecodeDropFiles(outside).empty());
    EXPECT_TRUE(DecodeDropFiles(wide.substr(0, 19)).empty());
}

TEST(FileDropList, ReadsFileAddressesOfUriLists)
{
    const std::string list = "# copied\r\nfile:///C:/Program%20Files/a.txt\r\nfile:///tmp/x%C3%A9\n"
                             "FILE://localhost/home/u/b\r\nfile://server/share/c\r\nhttps://example.org/\r\n"
                             "file:///bad%2\r\nfile:///nul%00l\r\n\r\n";
    EXPECT_EQ(WindowsPathsFromUriList(list),
              (std::vector<std::string>{"C:\\Program Files\\a.txt", "\\tmp\\x\xC3\xA9", "\\home\\u\\b"}));
    EXPECT_EQ(PosixPathsFromUriList(list),
              (std::vector<std::string>{"/C:/Program Files/a.txt", "/tmp/x\xC3\xA9", "/home/u/b"}));

    const std::vector<std::string> posix = {"/tmp/a b/#1%.txt", "/home/\xC3\xA9t\xC3\xA9"};
    const std::string written = UriListFromPosixPaths(posix);
    EXPECT_EQ(written, "file:///tmp/a%20b/%231%25.txt\r\nfile:///home/%C3%A9t%C3%A9\r\n");
    EXPECT_EQ(PosixPathsFromUriList(written), posix);

    EXPECT_EQ(PosixPathFromWindowsPath("\\tmp\\a"), "/tmp/a");
    EXPECT_FALSE(PosixPathFromWindowsPath("C:\\tmp\\a").has_value());
    EXPECT_FALSE(PosixPathFromWindowsPath("\\\\server\\share").has_value());
    EXPECT_FALSE(PosixPathFromWindowsPath("relative\\a").has_value());
    EXPECT_FALSE(PosixPathFromWindowsPath("\\/server/share").has_value());
}

// A file list from another computer names no network place that this one would connect to.
TEST(FileDropList, NetworkAndDevicePathsAreNeverLocal)
{
    const std::vector<std::pair<std::string, bool>> paths = {{"C:\\a\\b.txt", true},
                                                             {"z:/tmp/a", true},
                                                             {"\\tmp\\a", true},
                                                             {"\\\\server\\share\\a", false},
                                                             {"//server/share/a", false},
                                                             {"\\/server/share", false},
                                                             {"/\\server\\share", false},
                                                             {"\\\\?\\C:\\a", false},
                                                             {"\\\\.\\pipe\\x", false},
                                                             {"\\??\\UNC\\server\\s", false},
                                                             {"C:a", false},
                                                             {"C:\\a:stream", false},
                                                             {"C:\\a\\*.txt", false},
                                                             {"relative\\a", false},
                                                             {"\\tmp\\a\x01", false},
                                                             {"", false}};
    for (const auto& [path, local] : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(IsLocalWindowsPath(path), local);
    }
    EXPECT_FALSE(IsWindowsDrivePath("\\tmp\\a"));

    // Addresses with a host, and local addresses that spell a network or device path, are left out.
    const std::string list =
        "file://attacker.example/share/x.lnk\r\nfile:////attacker.example/share/y\r\n"
        "file:///%5C%5Cattacker.example%5Cshare%5Cz\r\nfile:///%5C%5C%3F%5CUNC%5Ch%5Cs\r\n"
        "file://LOCALHOST/C:/ok.txt\r\n";
    EXPECT_EQ(WindowsPathsFromUriList(list), std::vector<std::string>{"C:\\ok.txt"});

    // Only local paths reach the file check.
    std::vector<std::string> checked;
    const ExistingFile existing = [&checked](const std::string& path) -> std::optional<std::string> {
        checked.push_back(path);
        return path;
    };
    const ClipboardEntry entry{*FormatForMime("text/uri-list"), list};
    EXPECT_EQ(WindowsFormOfLinuxEntry(entry, existing),
              (LocalFormat{kWindowsFileDrop, {}, EncodeDropFiles({"C:\\ok.txt"})}));
    EXPECT_EQ(checked, std::vector<std::string>{"C:\\ok.txt"});
}

// `bytes` bytes of `value`, least significant first; bytes beyond the fourth are zero.
void putLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(i < 4 ? value >> (8 * i) : 0);
}

// An information header of 40 bytes.
std::string infoHeader(int width, int height, int bits, std::uint32_t compression, std::uint32_t colours = 0)
{
    std::string out;
    putLe(out, 40, 4);
    putLe(out, static_cast<std::uint32_t>(width), 4);
    putLe(out, static_cast<std::uint32_t>(height), 4);
    putLe(out, 1, 2);
    putLe(out, static_cast<std::uint32_t>(bits), 2);
    putLe(out, compression, 4);
    putLe(out, 0, 4 * 3);
    putLe(out, colours, 4);
    putLe(out, 0, 4);
    return out;
}

TEST(DibPicture, ReadsTheDepthsAndLayoutsWindowsOffers)
{
    const Bitmap picture = test::NumberedBitmap(5, 3);
    const std::string dib = DibFromBitmap(picture);
    EXPECT_EQ(dib, EncodeBmp(picture).substr(14));
    EXPECT_EQ(BitmapFromDib(dib)->rgb, picture.rgb);

    // 32-bit, top-down, masks after the header: one red and one blue pixel, alpha dropped.
    std::string masked = infoHeader(2, -1, 32, 3);
    putLe(masked, 0x00FF0000, 4);
    putLe(masked, 0x0000FF00, 4);
    putLe(masked, 0x000000FF, 4);
    putLe(masked, 0x80FF0000, 4);
    putLe(masked, 0xFF0000FF, 4);
    EXPECT_EQ(BitmapFromDib(masked)->rgb, (std::vector<std::uint8_t>{255, 0, 0, 0, 0, 255}));

    // 16-bit 5-6-5 and 8-bit palette rows, bottom-up: row 0 of the picture is the last in the data.
    std::string rgb565 = infoHeader(1, 2, 16, 3);
    putLe(rgb565, 0xF800, 4);
    putLe(rgb565, 0x07E0, 4);
    putLe(rgb565, 0x001F, 4);
    putLe(rgb565, 0x001F, 4); // bottom row: blue
    putLe(rgb565, 0x07E0, 4); // top row: green
    EXPECT_EQ(BitmapFromDib(rgb565)->rgb, (std::vector<std::uint8_t>{0, 255, 0, 0, 0, 255}));

    std::string palette = infoHeader(3, 1, 8, 0, 2);
    putLe(palette, 0x00102030, 4);
    putLe(palette, 0x00AABBCC, 4);
    palette += "\x01\x00\x07\x00"s; // index 7 lies outside the palette: the first colour
    EXPECT_EQ(BitmapFromDib(palette)->rgb,
              (std::vector<std::uint8_t>{0xAA, 0xBB, 0xCC, 0x10, 0x20, 0x30, 0x10, 0x20, 0x30}));

    std::string mono = infoHeader(9, 1, 1, 0);
    putLe(mono, 0x00000000, 4);
    putLe(mono, 0x00FFFFFF, 4);
    mono += "\x80\x80\0\0"s;
    const std::optional<Bitmap> bits = BitmapFromDib(mono);
    ASSERT_TRUE(bits.has_value());
    EXPECT_EQ(bits->rgb[0], 255);
    EXPECT_EQ(bits->rgb[3], 0);
    EXPECT_EQ(bits->rgb[24], 255);

    const std::vector<std::pair<const char*, std::string>> refused = {
        {"rows cut short", dib.substr(0, dib.size() - 1)},
        {"run-length compressed", infoHeader(1, 1, 8, 1) + std::string(8, '\0')},
        {"impossible size", infoHeader(70000, 1, 24, 0) + std::string(4, '\0')},
        {"zero width", infoHeader(0, 1, 24, 0) + std::string(4, '\0')},
        {"header cut short", dib.substr(0, 39)},
        {"foreign depth", infoHeader(1, 1, 7, 0) + std::string(4, '\0')},
    };
    for (const auto& [name, data] : refused) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(BitmapFromDib(data).has_value());
    }
}

std::uint32_t mimeNumber(std::string_view mime)
{
    return FormatForMime(mime).value();
}

// Files that "exist" for the conversions: each path mapped to its full form.
ExistingFile existingIn(std::map<std::string, std::string> files)
{
    return [files = std::move(files)](const std::string& path) -> std::optional<std::string> {
        const auto found = files.find(path);
        if (found == files.end())
            return std::nullopt;
        return found->second;
    };
}

TEST(CrossSystemFormats, WindowsFormsBecomeTheirX11Types)
{
    const ExistingFile existing = existingIn({{"/tmp/a b", "/tmp/a b"}});
    const std::string htmlFormat = BuildHtmlFormat("<b>x</b>");
    const std::vector<std::pair<ClipboardEntry, std::optional<LocalFormat>>> cases = {
        {{0xC0A1, htmlFormat, "HTML Format"},
         LocalFormat{mimeNumber("text/html"), {}, *HtmlFromHtmlFormat(htmlFormat)}},
        {{0xC0A1, "no header"s, "HTML Format"}, std::nullopt},
        {{0xC08F, "{\\rtf1 x}\0\0slack"s, "Rich Text Format"},
         LocalFormat{mimeNumber("text/rtf"), {}, "{\\rtf1 x}"}},
        {{kWindowsFileDrop, EncodeDropFiles({"\\tmp\\a b", "C:\\gone", "\\tmp\\missing"})},
         LocalFormat{mimeNumber("text/uri-list"), {}, "file:///tmp/a%20b\r\n"}},
        {{kWindowsFileDrop, EncodeDropFiles({"C:\\gone"})}, std::nullopt},
        {{0xC0B0, "Windows own data"s, "Ole Private Data"}, std::nullopt},
    };
    for (const auto& [entry, expected] : cases) {
        SCOPED_TRACE(entry.name + " " + std::to_string(entry.format));
        EXPECT_EQ(LinuxFormOfWindowsEntry(entry, existing), expected);
        // Rich text and web pages are given as the part of the entry they are, for the clipboard to
        // copy from there (no third copy on the way).
        const std::optional<LocalFormatView> part = LinuxFormInWindowsEntry(entry);
        const bool isPart = entry.name == "HTML Format" || entry.name == "Rich Text Format";
        ASSERT_EQ(part.has_value(), isPart && expected.has_value());
        if (part) {
            const std::string_view bytes = std::get<std::string>(entry.data);
            EXPECT_EQ(part->bytes, expected->bytes);
            EXPECT_EQ(part->format, expected->format);
            EXPECT_TRUE(part->bytes.data() >= bytes.data() &&
                        part->bytes.data() + part->bytes.size() <= bytes.data() + bytes.size());
        }
    }
    EXPECT_FALSE(IsWindowsForm({mimeNumber("text/html"), "<b>x</b>"s}));
    EXPECT_FALSE(IsWindowsForm({0xE000, "data"s, "application/x-own"}));
}

TEST(CrossSystemFormats, X11TypesBecomeTheirWindowsForms)
{
    const ExistingFile existing = existingIn({{"\\tmp\\a b", "Z:\\tmp\\a b"}, {"C:\\x.txt", "C:\\x.txt"}});
    const auto entry = [](std::string_view mime, std::string bytes) {
        return ClipboardEntry{mimeNumber(mime), std::move(bytes)};
    };
    const std::vector<std::pair<ClipboardEntry, std::optional<LocalFormat>>> cases = {
        {entry("text/html", "<b>x</b>"), LocalFormat{0, "HTML Format", BuildHtmlFormat("<b>x</b>")}},
        {entry("text/rtf", "{\\rtf1 x}"), LocalFormat{0, "Rich Text Format", "{\\rtf1 x}\0"s}},
        {entry("application/rtf", "{\\rtf1 y}\0"s), LocalFormat{0, "Rich Text Format", "{\\rtf1 y}\0"s}},
        {entry("text/uri-list", "file:///tmp/a%20b\r\nfile:///nowhere\r\nfile:///C:/x.txt\r\n"),
         LocalFormat{kWindowsFileDrop, {}, EncodeDropFiles({"Z:\\tmp\\a b", "C:\\x.txt"})}},
        {entry("text/uri-list", "file:///nowhere\r\n"), std::nullopt},
        {entry("text/csv", "a,b\r\n"), LocalFormat{0, "text/csv", "a,b\r\n"}},
        {ClipboardEntry{0xE000, "own"s, "application/x-own"}, std::nullopt},
        {ClipboardEntry{0xC0A1, "named"s, "HTML Format"}, std::nullopt},
    };
    for (const auto& [input, expected] : cases) {
        SCOPED_TRACE(std::to_string(input.format) + " " + input.name);
        EXPECT_EQ(WindowsFormOfLinuxEntry(input, existing), expected);
    }
    EXPECT_TRUE(IsLinuxFixedForm(entry("text/html", "x")));
    EXPECT_FALSE(IsLinuxFixedForm(ClipboardEntry{0xF000, "x"s, "HTML Format"}));
}

// Linux to Windows and back: the web page keeps its HTML, and its fragment stays marked.
TEST(CrossSystemFormats, HtmlSurvivesTheRoundTripThroughWindows)
{
    const std::string page = "<meta charset='utf-8'><p>caf\xC3\xA9</p>";
    const std::optional<LocalFormat> windows =
        WindowsFormOfLinuxEntry({mimeNumber("text/html"), page}, existingIn({}));
    ASSERT_TRUE(windows.has_value());
    const std::optional<LocalFormat> back =
        LinuxFormOfWindowsEntry({0xC123, windows->bytes, windows->name}, existingIn({}));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->bytes,
              "<html><body>\r\n<!--StartFragment-->" + page + "<!--EndFragment-->\r\n</body>\r\n</html>");
    EXPECT_EQ(WindowsFormOfLinuxEntry({mimeNumber("text/html"), back->bytes}, existingIn({}))->bytes,
              windows->bytes);
}

} // namespace
} // namespace tern
