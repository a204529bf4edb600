#include "platform/x11/X11Clipboard.h"

#include "X11TestSupport.h"
#include "clipboard/FileDropList.h"
#include "clipboard/HtmlClipboardFormat.h"
#include "clipboard/MimeFormatTable.h"
#include "platform/PlatformFactory.h"
#include "support/TempFolder.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tern::platform::x11 {
namespace {

using test::ReadClipboardTarget;
using test::ReadClipboardTargets;
using test::WaitUntil;
using test::XclipOwner;

constexpr std::uint32_t kHtml = 0xF000;
constexpr std::uint32_t kWebCustomData = 0xF020;

std::string WithZero(std::string bytes)
{
    return bytes.append(2, '\0');
}

std::string ToString(const QByteArray& bytes)
{
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A small picture whose every pixel differs, so that a swapped channel or a shifted row shows.
Bitmap TestBitmap(int width, int height)
{
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bitmap.rgb.push_back(static_cast<std::uint8_t>(x * 40));
            bitmap.rgb.push_back(static_cast<std::uint8_t>(y * 50));
            bitmap.rgb.push_back(static_cast<std::uint8_t>(200 - x - y));
        }
    }
    return bitmap;
}

Bitmap BitmapOf(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    Bitmap bitmap;
    bitmap.width = image.width();
    bitmap.height = image.height();
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        bitmap.rgb.insert(bitmap.rgb.end(), row, row + image.width() * 3);
    }
    return bitmap;
}

void ExpectSameBitmap(const Bitmap& actual, const Bitmap& expected)
{
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
    EXPECT_EQ(actual.rgb, expected.rgb);
}

class X11ClipboardTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!test::HaveDisplay())
            GTEST_SKIP() << "no X display";
        m_clipboard = CreateSystemClipboard();
    }

    // Starts xclip offering `bytes` as `target` and waits until our side sees `format` on offer.
    std::unique_ptr<XclipOwner> offerFromXclip(const QString& target, const std::string& bytes,
                                               std::optional<std::uint32_t> format)
    {
        // Owning the clipboard first gives a known state: xclip's content is the only later change.
        const std::uint64_t before = takeClipboard("before");
        auto owner = std::make_unique<XclipOwner>(target, m_folder.write("offer.bin", bytes));
        EXPECT_TRUE(WaitUntil([&] { return m_clipboard->sequenceNumber() != before; }))
            << "xclip did not take the clipboard";
        if (format) {
            EXPECT_TRUE(WaitUntil([&] { return m_clipboard->hasFormat(*format); }));
        }
        return owner;
    }

    // Puts `text` on the clipboard and returns the sequence number once every change notice sent
    // before has been processed: a reader's request reaches us after them.
    std::uint64_t takeClipboard(const std::string& text)
    {
        m_clipboard->setText(text);
        EXPECT_EQ(ReadClipboardTarget(QStringLiteral("UTF8_STRING")), QByteArray::fromStdString(text));
        return m_clipboard->sequenceNumber();
    }

    test::TempFolder m_folder;
    std::unique_ptr<SystemClipboard> m_clipboard;
};

TEST_F(X11ClipboardTest, ForeignTextIsGivenOutAsUtf16LeWithItsZero)
{
    const std::u16string_view text = u"Gr\u00fc\u00dfe, \u4e16\u754c \U0001F600\ttab";
    const auto owner = offerFromXclip(QStringLiteral("UTF8_STRING"),
                                      QString::fromStdU16String(std::u16string(text)).toUtf8().toStdString(),
                                      kFormatUnicodeText);
    EXPECT_EQ(m_clipboard->formats(), std::vector<std::uint32_t>{kFormatUnicodeText});
    EXPECT_EQ(m_clipboard->data(kFormatUnicodeText), WithZero(Utf16LeBytes(text)));
    EXPECT_FALSE(m_clipboard->bitmap());
}

TEST_F(X11ClipboardTest, EveryForeignTypeKeepsItsBytesUnderItsNumberAndName)
{
    const std::string binary("\x01\x00\xff\xfe custom\x00 data", 17);
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><circle r=\"3\"/></svg>";
    const struct
    {
        const char* target;
        std::string bytes;
        bool fixed; // in the fixed table, so no name travels
    } cases[] = {
        {"text/html", "<p>Hello <b>world</b></p>", true},
        {"chromium/x-web-custom-data", binary, true},
        {"x-special/gnome-copied-files", "copy\nfile:///tmp/a%20b.txt", true},
        {"application/x-tern-unknown", binary, false},
        {"image/svg+xml", svg, false},
        {"image/gif", std::string("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const std::optional<std::uint32_t> format = X11Clipboard::formatOfTarget(c.target);
        ASSERT_TRUE(format);
        EXPECT_EQ(*format >= kFirstOwnFormat && *format <= kLastOwnFormat, !c.fixed);
        const auto owner = offerFromXclip(QString::fromLatin1(c.target), c.bytes, format);
        // A picture Qt can read (GIF) is offered as the picture too.
        const std::vector<std::uint32_t> formats = m_clipboard->formats();
        EXPECT_NE(std::find(formats.begin(), formats.end(), *format), formats.end());
        EXPECT_LE(formats.size(), 2u);
        EXPECT_EQ(m_clipboard->data(*format), c.bytes);
        EXPECT_EQ(m_clipboard->formatName(*format), c.fixed ? std::string() : std::string(c.target));
        EXPECT_FALSE(m_clipboard->data(kFormatUnicodeText));
    }
}

TEST_F(X11ClipboardTest, ForeignPngIsReadAsBitmapAndTransparencyLiesOnWhite)
{
    const Bitmap expected = TestBitmap(7, 5);
    QImage picture(expected.rgb.data(), expected.width, expected.height, expected.width * 3,
                   QImage::Format_RGB888);
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 0)); // fully transparent red
    Bitmap onWhite = expected;
    onWhite.rgb[0] = onWhite.rgb[1] = onWhite.rgb[2] = 255;

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    const auto owner = offerFromXclip(QStringLiteral("image/png"), ToString(png), kFormatBitmap);

    EXPECT_EQ(m_clipboard->formats(), std::vector<std::uint32_t>{kFormatBitmap});
    EXPECT_FALSE(m_clipboard->data(kFormatBitmap));
    const std::optional<Bitmap> bitmap = m_clipboard->bitmap();
    ASSERT_TRUE(bitmap);
    ExpectSameBitmap(*bitmap, onWhite);
}

TEST_F(X11ClipboardTest, ReplaceOffersEveryEntryToOtherClients)
{
    const std::u16string_view text = u"Restored \u00e9\u00e8 \U0001F680";
    const std::string html = "<ul><li>one</li><li>two</li></ul>";
    const std::string custom("\x00\x01\x02 web custom \xff", 16);
    const Bitmap bitmap = TestBitmap(6, 4);
    // What follows the zero of the text is slack of the sending side, not text.
    const std::string textData = WithZero(Utf16LeBytes(text)) + Utf16LeBytes(u"slack");
    m_clipboard->replace({{kFormatUnicodeText, textData},
                          {kFormatBitmap, bitmap},
                          {kHtml, html},
                          {0xC0DE, std::string("a Windows peer's own format")},
                          {kWebCustomData, custom}});

    const QStringList targets = ReadClipboardTargets();
    for (const char* target :
         {"UTF8_STRING", "text/plain", "text/html", "image/png", "chromium/x-web-custom-data"})
        EXPECT_TRUE(targets.contains(QLatin1String(target)))
            << target << " in " << targets.join(' ').toStdString();

    const QByteArray utf8 = QString::fromStdU16String(std::u16string(text)).toUtf8();
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("UTF8_STRING")), utf8);
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("text/html")), QByteArray::fromStdString(html));
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("chromium/x-web-custom-data")),
              QByteArray::fromStdString(custom));
    const std::optional<QByteArray> png = ReadClipboardTarget(QStringLiteral("image/png"));
    ASSERT_TRUE(png);
    ExpectSameBitmap(BitmapOf(QImage::fromData(*png, "PNG")), bitmap);

    // Our own process reads what it owns without the X server.
    const std::vector<std::uint32_t> formats = m_clipboard->formats();
    EXPECT_EQ(std::set<std::uint32_t>(formats.begin(), formats.end()),
              (std::set<std::uint32_t>{kFormatUnicodeText, kFormatBitmap, kHtml, kWebCustomData}));
    EXPECT_EQ(m_clipboard->data(kFormatUnicodeText), WithZero(Utf16LeBytes(text)));
    EXPECT_EQ(m_clipboard->data(kHtml), html);
    const std::optional<Bitmap> own = m_clipboard->bitmap();
    ASSERT_TRUE(own);
    ExpectSameBitmap(*own, bitmap);
}

// A picture of some megabytes is larger than one X request and crosses the selection in pieces both ways.
TEST_F(X11ClipboardTest, LargePicturesCrossTheSelectionBothWays)
{
    Bitmap noise;
    noise.width = 1024;
    noise.height = 768;
    std::uint32_t state = 12345;
    noise.rgb.resize(static_cast<std::size_t>(noise.width) * noise.height * 3);
    for (std::uint8_t& value : noise.rgb) {
        state = state * 1103515245u + 12345u;
        value = static_cast<std::uint8_t>(state >> 24);
    }

    m_clipboard->replace({{kFormatBitmap, noise}});
    const std::optional<QByteArray> png = ReadClipboardTarget(QStringLiteral("image/png"));
    ASSERT_TRUE(png);
    EXPECT_GT(png->size(), 1000000);
    ExpectSameBitmap(BitmapOf(QImage::fromData(*png, "PNG")), noise);

    const auto owner = offerFromXclip(QStringLiteral("image/png"), ToString(*png), kFormatBitmap);
    const std::optional<Bitmap> bitmap = m_clipboard->bitmap();
    ASSERT_TRUE(bitmap);
    ExpectSameBitmap(*bitmap, noise);
}

TEST_F(X11ClipboardTest, ReplaceOffersNamedTypesUnderTheirNames)
{
    const std::string binary("tern\0test\0\xff\x01 bytes with zeros", 31);
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"/>";
    // The numbers are another computer's: only the names say what they are.
    EXPECT_TRUE(m_clipboard->replace({{0xE0A0, binary, "application/x-tern-test"},
                                      {0xE0A1, svg, "image/svg+xml"},
                                      {kHtml, std::string("<b>fixed</b>")}}));
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("application/x-tern-test")),
              QByteArray::fromStdString(binary));
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("image/svg+xml")), QByteArray::fromStdString(svg));
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("text/html")), QByteArray("<b>fixed</b>"));
}

// A snapshot taken on Windows: its web page, rich text and files are offered in their X11 types.
TEST_F(X11ClipboardTest, WindowsFormsAreOfferedAsTheirX11Types)
{
    const std::string file = m_folder.write("copied file.txt", "x");
    std::string windowsPath = file;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    const std::string htmlFormat = BuildHtmlFormat("<b>from Windows</b>");
    EXPECT_TRUE(m_clipboard->replace({{0xC0A1, htmlFormat, "HTML Format"},
                                      {0xC08F, std::string("{\\rtf1 r}\0slack", 14), "Rich Text Format"},
                                      {15, EncodeDropFiles({windowsPath, "C:\\not\\here.txt"})},
                                      {0xC0B0, std::string("private"), "Ole Private Data"}}));
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("text/html")),
              QByteArray::fromStdString(HtmlFromHtmlFormat(htmlFormat).value()));
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("text/rtf")), QByteArray("{\\rtf1 r}"));
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("text/uri-list")),
              QByteArray::fromStdString(UriListFromPosixPaths({file})));
    EXPECT_FALSE(ReadClipboardTargets().contains(QStringLiteral("Ole Private Data")));
}

TEST_F(X11ClipboardTest, ReplaceThatCannotConvertOrHasNothingLeavesTheClipboardAlone)
{
    const auto owner = offerFromXclip(QStringLiteral("text/html"), "<i>kept</i>", kHtml);

    Bitmap shortRows = TestBitmap(4, 4);
    shortRows.rgb.pop_back();
    const std::vector<std::vector<ClipboardEntry>> refused = {
        {{kHtml, std::string("<b>new</b>")}, {kFormatBitmap, shortRows}},
        {{kFormatUnicodeText, TestBitmap(1, 1)}},
        {{kFormatBitmap, std::string("not a picture")}},
        {{kFormatBitmap, Bitmap{}}},
    };
    for (const auto& entries : refused)
        EXPECT_THROW(m_clipboard->replace(entries), Error);
    // Nothing this system can offer: no number it knows, no name it may offer.
    const std::vector<std::vector<ClipboardEntry>> nothing = {
        {},
        {{0xC0DE, std::string("a Windows peer's own format")}},
        {{0xE000, std::string("a number of another computer, without its name")}},
        {{0xE001, std::string("bookkeeping"), "TARGETS"}, {0xE002, std::string("text"), "text/plain"}},
        {{0xE003, std::string("picture"), "image/png"}, {0xE004, std::string("spaced"), "a b"}},
    };
    for (const auto& entries : nothing)
        EXPECT_FALSE(m_clipboard->replace(entries));

    EXPECT_TRUE(owner->running());
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("text/html")), QByteArray("<i>kept</i>"));
}

TEST_F(X11ClipboardTest, SequenceNumberMovesWhenAnyClientTakesTheClipboard)
{
    const std::uint64_t start = m_clipboard->sequenceNumber();
    const std::uint64_t ours = takeClipboard("ours");
    EXPECT_NE(ours, start);

    XclipOwner owner(QStringLiteral("UTF8_STRING"), m_folder.write("theirs.txt", "theirs"));
    EXPECT_TRUE(WaitUntil([&] { return m_clipboard->sequenceNumber() != ours; }));
    EXPECT_EQ(m_clipboard->data(kFormatUnicodeText), WithZero(Utf16LeBytes(u"theirs")));
}

// Format numbers travel in snapshots between computers: once shipped they never change.
TEST(MimeFormatTableTest, NumbersArePinnedUniqueAndRegistered)
{
    const std::pair<std::uint32_t, const char*> shipped[] = {
        {0xF000, "text/html"},
        {0xF001, "text/rtf"},
        {0xF002, "application/rtf"},
        {0xF003, "text/richtext"},
        {0xF010, "text/uri-list"},
        {0xF011, "x-special/gnome-copied-files"},
        {0xF012, "application/x-kde-cutselection"},
        {0xF013, "application/x-kde4-urilist"},
        {0xF014, "text/x-moz-url"},
        {0xF020, "chromium/x-web-custom-data"},
        {0xF021, "chromium/x-source-url"},
        {0xF022, "application/x-moz-custom-clipdata"},
        {0xF023, "text/_moz_htmlcontext"},
        {0xF024, "text/_moz_htmlinfo"},
        {0xF030, "text/csv"},
        {0xF031, "text/tab-separated-values"},
        {0xF032, "text/calendar"},
        {0xF033, "text/vcard"},
    };
    for (const auto& [format, mime] : shipped) {
        EXPECT_EQ(FormatForMime(mime), format) << mime;
        EXPECT_EQ(MimeForFormat(format), mime) << mime;
    }
    std::set<std::uint32_t> numbers;
    std::set<std::string_view> names;
    for (const MimeFormat& entry : MimeFormats()) {
        EXPECT_GE(entry.format, kFirstRegisteredFormat);
        EXPECT_LE(entry.format, 0xFFFFu);
        EXPECT_TRUE(numbers.insert(entry.format).second) << entry.format;
        EXPECT_TRUE(names.insert(entry.mime).second) << entry.mime;
    }
}

TEST(X11ClipboardTargetTest, TargetsMapToTextPictureTableOrNothing)
{
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"UTF8_STRING", kFormatUnicodeText},
        {"text/plain", kFormatUnicodeText},
        {"text/plain;charset=utf-8", kFormatUnicodeText},
        {"text/plain; charset=UTF-8", kFormatUnicodeText},
        {"STRING", std::nullopt},
        {"TEXT", std::nullopt},
        {"COMPOUND_TEXT", std::nullopt},
        {"text/plain;charset=iso-8859-1", std::nullopt},
        {"text/plain;charset=utf-16", std::nullopt},
        {"TARGETS", std::nullopt},
        {"MULTIPLE", std::nullopt},
        {"TIMESTAMP", std::nullopt},
        {"SAVE_TARGETS", std::nullopt},
        {"DELETE", std::nullopt},
        {"image/png", kFormatBitmap},
        {"image/jpeg", kFormatBitmap},
        {"application/x-qt-image", kFormatBitmap},
        {"TEXT/HTML", kHtml},
        {"name with spaces", std::nullopt},
        // Only MIME types are types of our own: no X11 protocol target, no Windows name.
        {"INCR", std::nullopt},
        {"PNG", std::nullopt},
        {"_NETSCAPE_URL", std::nullopt},
    };
    for (const auto& [target, format] : cases)
        EXPECT_EQ(X11Clipboard::formatOfTarget(target), format) << target;
    // Every other type gets a number of the process's own range, the same each time it is met.
    const std::optional<std::uint32_t> unknown = X11Clipboard::formatOfTarget("application/x-unknown");
    ASSERT_TRUE(unknown);
    EXPECT_GE(*unknown, kFirstOwnFormat);
    EXPECT_LE(*unknown, kLastOwnFormat);
    EXPECT_EQ(X11Clipboard::formatOfTarget("application/x-unknown"), unknown);
    EXPECT_NE(X11Clipboard::formatOfTarget("image/svg+xml"), unknown);
    // A snapshot's name is offered as a type only when it is a MIME type of that kind.
    for (const char* name : {"INCR", "PNG", "HTML Format", "TARGETS", "text/plain", "image/png"})
        EXPECT_FALSE(X11Clipboard::isRestorableName(name)) << name;
    EXPECT_TRUE(X11Clipboard::isRestorableName("application/x-tern-check"));
}

} // namespace
} // namespace tern::platform::x11
