#include "clipboard/ExClipboard.h"
#include "clipboard/JpegCodec.h"
#include "clipboard/ShareConversion.h"
#include "platform/fake/FakeClipboard.h"
#include "service/ByteOrder.h"
#include "service/PasswordDigest.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <gtest/gtest.h>

#include <memory>

namespace tern {
namespace {

using platform::Bitmap;
using platform::ClipboardEntry;
using platform::fake::FakeClipboard;

constexpr std::uint32_t kFormatLocale = 16;
constexpr std::uint32_t kFormatHtml = 0xC001;

// UTF-16LE with a terminating zero, as the Unicode text format holds text.
std::string utf16(const std::u16string& text)
{
    return Utf16LeBytes(text + u'\0');
}

Bitmap gradient(int width, int height)
{
    Bitmap bitmap{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bitmap.rgb.push_back(static_cast<std::uint8_t>(x * 4));
            bitmap.rgb.push_back(static_cast<std::uint8_t>(y * 4));
            bitmap.rgb.push_back(static_cast<std::uint8_t>(128));
        }
    return bitmap;
}

class ExClipboardTest : public ::testing::Test
{
protected:
    FakeClipboard system;
    std::string password = PasswordDigest("clipboard test");
    TExClipboard clipboard{system, [this] { return password; }, JumpingClock()};

    std::string snapshotOf(std::vector<ClipboardEntry> entries)
    {
        system.set(std::move(entries));
        clipboard.CaptureAll();
        std::string stream;
        clipboard.SaveToStream(stream);
        return stream;
    }

    std::vector<std::uint32_t> capturedFormats() const
    {
        std::vector<std::uint32_t> numbers;
        for (const auto& item : clipboard.Formats)
            numbers.push_back(item->Format);
        return numbers;
    }
};

TEST_F(ExClipboardTest, CaptureKeepsUnicodeTextAndSkipsItsAliasesAndShortFormats)
{
    system.set({{1, std::string("hello world, this is text")},
                {7, std::string("hello world, this is text")},
                {13, utf16(u"hello world, this is text")},
                {kFormatLocale, std::string("\x09\x04\x00\x00", 4)}});
    clipboard.CaptureAll();
    ASSERT_EQ(capturedFormats(), std::vector<std::uint32_t>{13});
    EXPECT_EQ(clipboard.Formats[0]->Data.ReadAll(), utf16(u"hello world, this is text"));
}

TEST_F(ExClipboardTest, CaptureAppliesTheSizeRules)
{
    struct Case
    {
        std::uint32_t format;
        std::size_t size;
        bool captured;
    };
    const std::vector<Case> cases = {
        {kFormatHtml, 19, false},
        {kFormatHtml, 20, true},
        {kFormatHtml, 5'000'000, true},
        {kFormatHtml, 5'000'001, false},
        {13, 8, true} /* "abc" */,
        {13, 2, true},
        {13, 0, false},
        {8, 4000, false} /* CF_DIB */,
        {17, 4000, false} /* CF_DIBV5 */,
    };
    for (const Case& test : cases) {
        SCOPED_TRACE("format " + std::to_string(test.format) + " size " + std::to_string(test.size));
        system.set({{test.format, std::string(test.size, 'x')}});
        clipboard.CaptureAll();
        EXPECT_EQ(clipboard.Formats.size(), test.captured ? 1u : 0u);
    }
}

TEST_F(ExClipboardTest, BitmapIsCapturedFirstAsJpeg)
{
    system.set({{kFormatHtml, std::string(100, 'h')}, {8, std::string(400, 'd')}, {2, gradient(40, 30)}});
    clipboard.CaptureAll();
    ASSERT_EQ(capturedFormats(), (std::vector<std::uint32_t>{2, kFormatHtml}));
    const std::string jpeg = clipboard.Formats[0]->Data.ReadAll();
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    const Bitmap decoded = DecodeJpeg(jpeg);
    EXPECT_EQ(decoded.width, 40);
    EXPECT_EQ(decoded.height, 30);
}

TEST_F(ExClipboardTest, SnapshotRoundTripRestoresEveryFormatInOneStep)
{
    const std::string html = "<html><body>" + std::string(300, 'w') + "</body></html>";
    const std::string stream =
        snapshotOf({{13, utf16(u"round trip")}, {kFormatHtml, html}, {2, gradient(64, 48)}});
    // Count, then records: marker, format, storage length, storage.
    EXPECT_EQ(GetLe32(stream.data()), 3u);
    EXPECT_EQ(stream[4], 0x01);
    EXPECT_EQ(GetLe32(stream.data() + 5), 2u);
    EXPECT_EQ(stream.substr(13, 4), "AACS");

    system.set({{13, utf16(u"something else")}});
    const std::size_t end = clipboard.LoadFromStream(stream);
    EXPECT_EQ(end, stream.size());
    clipboard.RestoreAll();
    ASSERT_EQ(system.writes.size(), 1u);
    ASSERT_EQ(system.content.size(), 3u);
    EXPECT_EQ(system.content[0].format, 2u);
    const auto& bitmap = std::get<Bitmap>(system.content[0].data);
    EXPECT_EQ(bitmap.width, 64);
    EXPECT_EQ(bitmap.height, 48);
    EXPECT_EQ(system.content[1].format, 13u);
    EXPECT_EQ(std::get<std::string>(system.content[1].data), utf16(u"round trip"));
    EXPECT_EQ(std::get<std::string>(system.content[2].data), html);
}

TEST_F(ExClipboardTest, EmptySnapshotRestoresNothing)
{
    system.set({{13, utf16(u"kept")}});
    clipboard.LoadFromStream(std::string(4, '\0'));
    clipboard.RestoreAll();
    EXPECT_TRUE(system.writes.empty());
    EXPECT_EQ(std::get<std::string>(system.content[0].data), utf16(u"kept"));
    // A negative count reads as no records.
    clipboard.LoadFromStream(std::string("\xff\xff\xff\xff", 4));
    EXPECT_TRUE(clipboard.Formats.empty());
}

TEST_F(ExClipboardTest, BrokenSnapshotsFailBeforeTheClipboardIsTouched)
{
    const std::string good = snapshotOf({{13, utf16(u"first item")}, {kFormatHtml, std::string(500, 'h')}});
    const std::size_t secondRecord = 4 + 9 + GetLe32(good.data() + 4 + 5);
    auto withLength = [&](std::size_t at, std::uint32_t value) {
        std::string stream = good;
        PutLe32(stream.data() + at, value);
        return stream;
    };
    struct Case
    {
        const char* name;
        std::string stream;
        std::size_t itemsKept;
    };
    const std::vector<Case> cases = {
        {"ends inside the count", good.substr(0, 3), 0},
        {"ends inside a record header", good.substr(0, secondRecord + 4), 1},
        {"ends inside the storage", good.substr(0, good.size() - 1), 1},
        {"negative length", withLength(secondRecord + 5, 0xFFFFFFF0u), 1},
        {"length past the end", withLength(secondRecord + 5, 0x7FFFFFF0u), 1},
        {"count that cannot fit", withLength(0, 0x7FFFFFFFu), 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        system.set({{13, utf16(u"user's text")}});
        system.writes.clear();
        EXPECT_THROW(clipboard.LoadFromStream(test.stream), StreamReadError);
        EXPECT_EQ(clipboard.Formats.size(), test.itemsKept);
        EXPECT_TRUE(system.writes.empty());
    }
}

TEST_F(ExClipboardTest, SnapshotUnderAnotherPasswordIsRefused)
{
    const std::string stream = snapshotOf({{13, utf16(u"secret")}});
    password = PasswordDigest("changed on one computer");
    try {
        clipboard.LoadFromStream(stream);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(isPlainError(error));
        EXPECT_STREQ(error.what(), "TECLStream.LoadHeaders - invalid password.");
    }
}

TEST_F(ExClipboardTest, DownloadedItemOverTheFormatLimitIsRefused)
{
    // A record whose container claims more than 5,000,000 bytes (written without that limit).
    auto big = std::make_unique<TClipboardFormat>(password, JumpingClock());
    big->Format = kFormatHtml;
    big->Data.Write(0, std::string(5'000'001, 'b'));
    ClipboardFormats formats;
    formats.push_back(std::move(big));
    std::string stream;
    SaveSnapshot(formats, stream);
    EXPECT_THROW(clipboard.LoadFromStream(stream), Error);
    EXPECT_TRUE(clipboard.Formats.empty());
}

// A download cannot make the restore allocate past its budget, whatever it claims: each case is
// refused with its own text before the clipboard is touched.
TEST_F(ExClipboardTest, HostileSnapshotsAreRefusedWithinTheRestoreBudget)
{
    const auto recordOf = [](std::uint32_t format, const std::string& storage) {
        std::string record(9, '\0');
        record[0] = 1;
        PutLe32(record.data() + 1, format);
        PutLe32(record.data() + 5, static_cast<std::uint32_t>(storage.size()));
        return record + storage;
    };
    const auto streamOf = [](std::uint32_t count, const std::string& records) {
        std::string stream(4, '\0');
        PutLe32(stream.data(), count);
        return stream + records;
    };
    // 65 items of 1 MiB each: past the decoded budget, though every one is within the format limit.
    TClipboardFormat mebibyte(password, JumpingClock());
    mebibyte.Data.Write(0, std::string(std::size_t{1} << 20, 'm'));
    std::string many;
    for (int i = 0; i < 65; ++i)
        many += recordOf(kFormatHtml, mebibyte.Data.Storage());
    // A picture whose header claims 8000 x 8000 pixels: its pixels alone would pass the budget.
    std::string claimed = EncodeJpeg(gradient(16, 16), 90);
    const std::size_t frame = claimed.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    for (const std::size_t at : {frame + 5, frame + 7}) {
        claimed[at] = static_cast<char>(8000 >> 8);
        claimed[at + 1] = static_cast<char>(8000 & 0xFF);
    }
    // Cut short after the headers, as a hostile file of a few hundred bytes is.
    const std::size_t scan = claimed.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    TClipboardFormat picture(password, JumpingClock());
    picture.Data.Write(0, claimed.substr(0, scan + 20));
    struct Case
    {
        const char* name;
        std::string stream;
        const char* text;
    };
    const Case cases[] = {
        {"items past the budget", streamOf(65, many), "The clipboard data is too large to restore."},
        {"a picture past the budget", streamOf(1, recordOf(2, picture.Data.Storage())),
         "Cannot decode the picture: it is too large"},
        {"a record that is no container", streamOf(1, recordOf(kFormatHtml, std::string(200, 'p'))),
         "TECLStream.LoadHeaders - not a container."},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        system.set({{13, utf16(u"user's text")}});
        system.writes.clear();
        try {
            clipboard.LoadFromStream(test.stream);
            clipboard.RestoreAll();
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), test.text);
        }
        EXPECT_TRUE(system.writes.empty());
    }
    // A record of length 0 is an empty item, as older snapshots may hold.
    clipboard.LoadFromStream(streamOf(1, recordOf(kFormatHtml, "")));
    ASSERT_EQ(clipboard.Formats.size(), 1u);
    EXPECT_EQ(clipboard.Formats[0]->Data.Size(), 0u);
}

TEST_F(ExClipboardTest, FailedRestoreLeavesTheClipboardAsItWas)
{
    snapshotOf({{13, utf16(u"good text item")}, {2, gradient(16, 16)}});
    // The picture item now holds bytes that are not a JPEG file.
    ASSERT_EQ(clipboard.Formats[0]->Format, 2u);
    clipboard.Formats[0]->Data.Write(0, std::string("not a jpeg at all"));
    system.set({{13, utf16(u"user's text")}});
    EXPECT_THROW(clipboard.RestoreAll(), Error);
    EXPECT_TRUE(system.writes.empty());
    EXPECT_EQ(std::get<std::string>(system.content[0].data), utf16(u"user's text"));
}

TEST_F(ExClipboardTest, ClipboardThatCannotBeOpenedGivesThePlainError)
{
    system.failOpen = true;
    try {
        clipboard.CaptureAll();
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot open clipboard");
    }
}

TEST_F(ExClipboardTest, ShareOfTextIsUtf8UpToAndWithTheFirstZero)
{
    struct Case
    {
        const char* name;
        std::string block;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"abc", utf16(u"abc"), std::string("abc\0", 4)},
        {"slack after the zero", utf16(u"abc") + std::string("x\0y\0", 4), std::string("abc\0", 4)},
        {"two and three bytes", utf16(u"\u00e9\u20ac"), std::string("\xc3\xa9\xe2\x82\xac\0", 6)},
        {"surrogate pair", utf16(u"\U0001F600"), std::string("\xf0\x9f\x98\x80\0", 5)},
        {"lone high surrogate", utf16(std::u16string(1, char16_t(0xD83D)) + u"a"),
         std::string("\xef\xbf\xbd"
                     "a\0",
                     5)},
        {"lone low surrogate", utf16(std::u16string(1, char16_t(0xDE00))), std::string("\xef\xbf\xbd\0", 4)},
        {"no zero, odd byte", std::string("a\0b\0c", 5), "ab"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        system.set({{13, test.block}, {2, gradient(8, 8)}});
        std::string payload = "prefix:";
        EXPECT_EQ(clipboard.SaveShareable(payload), kShareText);
        EXPECT_EQ(payload, "prefix:" + test.utf8);
    }
}

TEST_F(ExClipboardTest, ShareOfNothingWritesNothing)
{
    system.set({{kFormatHtml, std::string(100, 'h')}});
    std::string payload;
    EXPECT_EQ(clipboard.SaveShareable(payload), kShareNothing);
    EXPECT_TRUE(payload.empty());
}

TEST_F(ExClipboardTest, ShareOfPictureTakesTheShorterEncoding)
{
    // A flat picture compresses far better as PNG; noise far better as JPEG.
    Bitmap noise{200, 150, {}};
    std::uint32_t seed = 12345;
    for (int i = 0; i < 200 * 150 * 3; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise.rgb.push_back(static_cast<std::uint8_t>(seed >> 16));
    }
    Bitmap flat{200, 150, std::vector<std::uint8_t>(200 * 150 * 3, 200)};
    system.set({{2, flat}});
    std::string payload;
    EXPECT_EQ(clipboard.SaveShareable(payload), kSharePng);
    EXPECT_EQ(payload.substr(0, 8), "\x89PNG\r\n\x1a\n");
    system.set({{2, noise}});
    payload.clear();
    EXPECT_EQ(clipboard.SaveShareable(payload), kShareJpeg);
    EXPECT_EQ(payload.substr(0, 2), "\xFF\xD8");
    // Equal lengths go to PNG.
    std::string out;
    EXPECT_EQ(AppendShorterImage("JJJJ", "PPPP", out), kSharePng);
    EXPECT_EQ(out, "PPPP");
    EXPECT_EQ(AppendShorterImage("JJJ", "PPPP", out), kShareJpeg);
}

} // namespace
} // namespace tern
