// The clipboard between two processes, in the Windows forms a snapshot's entries are put as.
#include "platform/win/WinClipboard.h"
#include "WinTestSupport.h"
#include "clipboard/CrossSystemFormats.h"
#include "clipboard/DibPicture.h"
#include "clipboard/FileDropList.h"
#include "clipboard/HtmlClipboardFormat.h"
#include "clipboard/MimeFormatTable.h"
#include "platform/win/WideText.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tern::platform::win {
namespace {

using test::RunChild;

const std::string kText = "Caf\xC3\xA9 \xF0\x9F\x9A\x80";
const std::string kPage = "<p>caf\xC3\xA9</p>";
const std::string kOwnBytes = std::string("own\0format bytes of a Windows program", 38);

Bitmap testBitmap()
{
    Bitmap bitmap{3, 2, {}};
    for (int i = 0; i < 18; ++i)
        bitmap.rgb.push_back(static_cast<std::uint8_t>(i * 13));
    return bitmap;
}

std::uint32_t registered(const char* name)
{
    return RegisterClipboardFormatW(Widen(name).c_str());
}

bool contains(const std::vector<std::uint32_t>& formats, std::uint32_t format)
{
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

// What a Remote Paste of a snapshot from Windows puts: the text, a picture, a registered format
// travelling by name and a standard one by number.
bool putWindowsSnapshot(WinClipboard& clipboard)
{
    return clipboard.replace({{kFormatUnicodeText, Utf16LeTextBlock(kText)},
                              {kFormatBitmap, testBitmap()},
                              {0xC1F3, kOwnBytes, "Tern Test Format"},
                              {0xC0DE, std::string("a number without its name")}});
}

// 0 when the clipboard holds what putWindowsSnapshot put; a different code for each difference.
int checkWindowsSnapshot(WinClipboard& clipboard)
{
    const std::vector<std::uint32_t> formats = clipboard.formats();
    const std::uint32_t own = registered("Tern Test Format");
    if (!contains(formats, CF_UNICODETEXT) || !contains(formats, CF_DIB) || !contains(formats, own))
        return 10;
    if (contains(formats, 0xC0DE))
        return 11;
    if (clipboard.data(kFormatUnicodeText) != Utf16LeTextBlock(kText))
        return 12;
    if (clipboard.formatName(own) != "Tern Test Format" || clipboard.data(own) != kOwnBytes)
        return 13;
    const std::optional<Bitmap> picture = clipboard.bitmap();
    if (!clipboard.hasFormat(kFormatBitmap) || !picture || picture->rgb != testBitmap().rgb)
        return 14;
    return 0;
}

TEST(WinClipboard, FormatsCrossToAnotherProcessAndBack)
{
    WinClipboard clipboard;
    const std::uint64_t before = clipboard.sequenceNumber();
    ASSERT_TRUE(putWindowsSnapshot(clipboard));
    EXPECT_NE(clipboard.sequenceNumber(), before);
    EXPECT_EQ(checkWindowsSnapshot(clipboard), 0);
    EXPECT_EQ(RunChild({L"clipboard-check"}), 0);

    clipboard.setText("replaced");
    EXPECT_EQ(RunChild({L"clipboard-put"}), 0);
    EXPECT_EQ(checkWindowsSnapshot(clipboard), 0);
    // Nothing this system can put leaves the clipboard as it was: a registered number without its name,
    // and formats whose data holds a drawing-object handle of the capturing session.
    EXPECT_FALSE(clipboard.replace({{0xC0DE, std::string("no name")},
                                    {CF_PALETTE, std::string("handle")},
                                    {CF_METAFILEPICT, std::string("mm, x, y and a metafile handle")}}));
    EXPECT_FALSE(clipboard.data(CF_METAFILEPICT).has_value());
    EXPECT_EQ(checkWindowsSnapshot(clipboard), 0);
    // An entry that cannot be put fails the whole replace before the clipboard is touched.
    EXPECT_THROW(clipboard.replace({{kFormatUnicodeText, Utf16LeTextBlock("lost")},
                                    {kFormatBitmap, std::string("no picture")}}),
                 Error);
    EXPECT_EQ(checkWindowsSnapshot(clipboard), 0);
}

TEST(WinClipboard, LinuxTypesArePutInTheirWindowsForms)
{
    const test::TempDirectory folder;
    const std::wstring file = folder.write(L"copied file.txt", "x");
    std::string address = "file:///" + Narrow(file);
    std::replace(address.begin(), address.end(), '\\', '/');
    address = address.replace(address.find(' '), 1, "%20");

    WinClipboard clipboard;
    ASSERT_TRUE(
        clipboard.replace({{FormatForMime("text/html").value(), kPage},
                           {FormatForMime("text/rtf").value(), std::string("{\\rtf1 r}")},
                           {FormatForMime("application/rtf").value(), std::string("{\\rtf1 second}")},
                           {FormatForMime("text/uri-list").value(), address + "\r\nfile:///C:/gone\r\n"},
                           {FormatForMime("text/csv").value(), std::string("a,b")}}));
    const std::optional<std::string> html = clipboard.data(registered("HTML Format"));
    ASSERT_TRUE(html.has_value());
    const std::optional<HtmlFormatOffsets> offsets = ParseHtmlFormat(*html);
    ASSERT_TRUE(offsets.has_value());
    EXPECT_EQ(html->substr(offsets->startFragment, offsets->endFragment - offsets->startFragment), kPage);
    EXPECT_EQ(clipboard.data(registered("Rich Text Format")), std::string("{\\rtf1 r}\0", 10));
    const std::optional<std::string> drop = clipboard.data(CF_HDROP);
    ASSERT_TRUE(drop.has_value());
    EXPECT_EQ(DecodeDropFiles(*drop), std::vector<std::string>{Narrow(file)});
    EXPECT_EQ(clipboard.data(registered("text/csv")), "a,b");
}

// A file list from another computer: only paths on local drives reach the clipboard, and a list with
// none leaves the file drop out.
TEST(WinClipboard, FileListsKeepOnlyLocalDrivePaths)
{
    const test::TempDirectory folder;
    const std::string file = Narrow(folder.write(L"here.txt", "x"));
    const std::vector<std::string> remote = {"\\\\attacker.example\\share\\x.lnk", "\\\\?\\UNC\\h\\s\\y",
                                             "\\\\.\\pipe\\z", "\\??\\UNC\\h\\s\\w"};
    std::vector<std::string> mixed = remote;
    mixed.insert(mixed.begin() + 1, file);

    WinClipboard clipboard;
    ASSERT_TRUE(clipboard.replace({{CF_HDROP, EncodeDropFiles(mixed)}}));
    const std::optional<std::string> drop = clipboard.data(CF_HDROP);
    ASSERT_TRUE(drop.has_value());
    EXPECT_EQ(DecodeDropFiles(*drop), std::vector<std::string>{file});

    ASSERT_TRUE(clipboard.replace(
        {{kFormatUnicodeText, Utf16LeTextBlock(kText)},
         {CF_HDROP, EncodeDropFiles(remote)},
         {FormatForMime("text/uri-list").value(), std::string("file://attacker.example/share/x.lnk\r\n")}}));
    EXPECT_FALSE(clipboard.hasFormat(CF_HDROP));
    EXPECT_TRUE(clipboard.hasFormat(CF_UNICODETEXT));
}

} // namespace

namespace test {

// clipboard-check: 0 when the clipboard holds the Windows snapshot; clipboard-put: puts it.
int RunClipboardChildRole(const std::vector<std::wstring>& arguments)
{
    WinClipboard clipboard;
    if (arguments.size() == 1 && arguments[0] == L"clipboard-check")
        return checkWindowsSnapshot(clipboard);
    if (arguments.size() == 1 && arguments[0] == L"clipboard-put")
        return putWindowsSnapshot(clipboard) ? 0 : 1;
    return -2;
}

} // namespace test
} // namespace tern::platform::win
