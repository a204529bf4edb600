// The clipboard through the data-control protocol against wl-copy and wl-paste as the other client:
// every type read and written byte for byte, without any window of ours having the focus.
#include "WaylandTestSupport.h"

#include "clipboard/MimeFormatTable.h"
#include "platform/Clipboard.h"
#include "platform/qt/MimeClipboardTypes.h"
#include "platform/qt/QtBitmap.h"
#include "platform/wayland/WaylandClipboard.h"
#include "util/TextEncoding.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace tern::platform::wayland {
namespace {

using test::HaveCompositor;
using test::RunTool;
using test::SelectionOwner;
using test::WaitUntil;

std::string utf16WithZero(const std::u16string& text)
{
    return Utf16LeBytes(text + u'\0');
}

QByteArray pngOf(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

QImage testPicture()
{
    QImage picture(7, 5, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor(x * 30, y * 50, (x + y) * 10));
    }
    return picture;
}

// Another client's selection of one type and a wait until our clipboard offers it (the selection
// emptied by the previous owner's exit may be announced first).
std::unique_ptr<SelectionOwner> offer(WaylandClipboard& clipboard, const QString& type,
                                      const QByteArray& bytes)
{
    const std::uint32_t format = qt::FormatOfMimeType(type.toStdString()).value_or(0);
    auto owner = std::make_unique<SelectionOwner>(type, bytes);
    EXPECT_TRUE(WaitUntil([&] { return clipboard.hasFormat(format); })) << type.toStdString();
    return owner;
}

QByteArray pasted(const QString& type)
{
    return RunTool(QStringLiteral("wl-paste"),
                   {QStringLiteral("--no-newline"), QStringLiteral("--type"), type})
        .value_or(QByteArray("(wl-paste failed)"));
}

TEST(WaylandClipboardTest, ReadsEveryTypeAnotherClientOffersByteForByte)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no Wayland compositor";
    }
    WaylandClipboard clipboard;
    QByteArray large(1 << 20, '\0');
    for (int i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 + i / 251);
    struct Case
    {
        QString type;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("text/html"), QByteArray("<p>Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac</p>")},
        {QStringLiteral("application/x-tern-test"), QByteArray("a\0b\r\n\xff", 6)},
        {QStringLiteral("application/x-tern-large"), large},
    };
    for (const Case& c : cases) {
        const auto owner = offer(clipboard, c.type, c.bytes);
        const std::uint32_t format = qt::FormatOfMimeType(c.type.toStdString()).value_or(0);
        const std::optional<std::string> read = clipboard.data(format);
        ASSERT_TRUE(read.has_value()) << c.type.toStdString();
        EXPECT_TRUE(*read == c.bytes.toStdString())
            << c.type.toStdString() << ": " << read->size() << " bytes";
        if (format >= kFirstOwnFormat && format <= kLastOwnFormat) {
            EXPECT_EQ(clipboard.formatName(format), c.type.toStdString());
        }
    }

    const auto text = offer(clipboard, QStringLiteral("text/plain;charset=utf-8"),
                            QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80"));
    EXPECT_EQ(clipboard.formats(), std::vector<std::uint32_t>{kFormatUnicodeText});
    EXPECT_EQ(clipboard.data(kFormatUnicodeText), utf16WithZero(u"caf\u00e9 \U0001F600"));
    EXPECT_FALSE(clipboard.bitmap().has_value());

    const QImage picture = testPicture();
    const auto image = offer(clipboard, QStringLiteral("image/png"), pngOf(picture));
    EXPECT_TRUE(clipboard.hasFormat(kFormatBitmap));
    const std::optional<Bitmap> bitmap = clipboard.bitmap();
    ASSERT_TRUE(bitmap.has_value());
    ASSERT_EQ(bitmap->width, picture.width());
    ASSERT_EQ(bitmap->height, picture.height());
    EXPECT_EQ(qt::ImageFromBitmap(*bitmap), picture);
}

TEST(WaylandClipboardTest, WritesEveryTypeForAnotherClientByteForByte)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no Wayland compositor";
    }
    WaylandClipboard clipboard;
    const std::string html = "<b>fett \xe2\x82\xac</b>";
    const std::string custom("x\0y\xfe", 4);
    const QImage picture = testPicture();
    Bitmap bitmap{picture.width(), picture.height(), {}};
    for (int y = 0; y < picture.height(); ++y)
        bitmap.rgb.insert(bitmap.rgb.end(), picture.constScanLine(y),
                          picture.constScanLine(y) + 3 * picture.width());
    const std::uint64_t before = clipboard.sequenceNumber();
    ASSERT_TRUE(clipboard.replace({
        {kFormatUnicodeText, utf16WithZero(u"na\u00efve \U0001F600")},
        {FormatForMime("text/html").value(), html},
        {0xE123, custom, "application/x-tern-custom"},
        {kFormatBitmap, bitmap},
    }));
    EXPECT_TRUE(WaitUntil([&] { return clipboard.sequenceNumber() != before; }));

    const QStringList types =
        QString::fromUtf8(
            RunTool(QStringLiteral("wl-paste"), {QStringLiteral("--list-types")}).value_or(QByteArray()))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const char* type :
         {"text/plain;charset=utf-8", "UTF8_STRING", "text/html", "application/x-tern-custom", "image/png"})
        EXPECT_TRUE(types.contains(QLatin1String(type))) << type;
    EXPECT_EQ(pasted(QStringLiteral("text/plain;charset=utf-8")),
              QByteArray("na\xc3\xafve \xf0\x9f\x98\x80"));
    EXPECT_EQ(pasted(QStringLiteral("text/html")).toStdString(), html);
    EXPECT_EQ(pasted(QStringLiteral("application/x-tern-custom")).toStdString(), custom);
    const QImage back =
        QImage::fromData(pasted(QStringLiteral("image/png"))).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(back, picture);

    // While the selection is ours, reads are answered from our own copy; a megabyte goes out whole.
    EXPECT_EQ(clipboard.data(FormatForMime("text/html").value()), html);
    std::string large(1 << 20, 'q');
    large[12345] = '\0';
    ASSERT_TRUE(clipboard.replace({{0xE124, large, "application/x-tern-large"}}));
    EXPECT_TRUE(pasted(QStringLiteral("application/x-tern-large")).toStdString() == large);

    // Nothing this system can put on the clipboard leaves it as it was.
    EXPECT_FALSE(clipboard.replace({{0x1234, std::string("?")}}));
    EXPECT_EQ(pasted(QStringLiteral("application/x-tern-large")).size(),
              static_cast<qsizetype>(large.size()));

    clipboard.setText("plain \xc3\xa9");
    EXPECT_EQ(pasted(QStringLiteral("text/plain")), QByteArray("plain \xc3\xa9"));
}

TEST(WaylandClipboardTest, CountsEachNewSelectionAndSeesTheOwnerGo)
{
    if (!HaveCompositor()) {
        GTEST_SKIP() << "no Wayland compositor";
    }
    WaylandClipboard clipboard;
    const std::uint64_t start = clipboard.sequenceNumber();
    {
        const auto owner = offer(clipboard, QStringLiteral("text/plain"), QByteArray("one"));
        const std::uint64_t first = clipboard.sequenceNumber();
        EXPECT_GT(first, start);
        clipboard.setText("two");
        EXPECT_TRUE(WaitUntil([&] { return clipboard.sequenceNumber() > first; }));
    }
    // A second clipboard of this process sees the first one's selection, a large one too (read from
    // the first one's copy: a pipe to ourselves would wait for a loop that is not running).
    WaylandClipboard other;
    EXPECT_EQ(other.data(kFormatUnicodeText), utf16WithZero(u"two"));
    const std::string large(1 << 20, 'z');
    ASSERT_TRUE(clipboard.replace({{0xE125, large, "application/x-tern-big"}}));
    const std::optional<std::string> read =
        other.data(qt::FormatOfMimeType("application/x-tern-big").value_or(0));
    EXPECT_TRUE(read && *read == large);
}

} // namespace
} // namespace tern::platform::wayland
