// Another client's clipboard, captured into a snapshot stream and restored from it, is offered again
// to other clients under the same targets.
#include "clipboard/ExClipboard.h"

#include "X11TestSupport.h"
#include "platform/PlatformFactory.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace tern {
namespace {

using test::ReadClipboardTarget;
using test::ReadClipboardTargets;
using test::WaitUntil;
using test::XclipOwner;

const char* const kPasswordValue = "5f4dcc3b5aa765d61d8327deb882cf99";

// Each reading advances a second, so the containers' timed password check ends at once.
MonotonicClock FastClock()
{
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    return [now] { return *now += std::chrono::seconds(1); };
}

QByteArray PictureAsPng()
{
    QImage picture(64, 48, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x < 32 ? 220 : 20, y < 32 ? 40 : 200, 120));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

// Mean difference of the colour channels of two pictures of the same size; -1 when the sizes differ.
// A JPEG of quality 90 blurs only the borders between flat areas, so the mean stays within a few steps
// while a swapped channel or a shifted row moves it far.
double MeanChannelDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

TEST(SnapshotRoundTripTest, TextHtmlPictureAndCustomTypeComeBackTogether)
{
    if (!test::HaveDisplay())
        GTEST_SKIP() << "no X display";
    const std::unique_ptr<platform::SystemClipboard> system = platform::CreateSystemClipboard();
    const auto password = [] { return std::string(kPasswordValue); };
    test::TempFolder folder;

    const QByteArray text = QStringLiteral("Snapshot \u00e4\u00f6\u00fc \u2192 \U0001F4CB").toUtf8();
    const QByteArray html = "<table><tr><td>cell</td></tr></table>";
    const QByteArray custom("{\"kind\":\"custom\",\0\"bytes\":[1,2,3]}", 35);
    const QByteArray png = PictureAsPng();
    const struct
    {
        const char* target;
        QByteArray bytes;
        std::uint32_t format;
    } offers[] = {{"UTF8_STRING", text, platform::kFormatUnicodeText},
                  {"text/html", html, 0xF000},
                  {"image/png", png, platform::kFormatBitmap},
                  {"chromium/x-web-custom-data", custom, 0xF020}};

    // xclip offers one target at a time: each is captured on its own and the items are gathered in
    // one clipboard object, as a clipboard offering all of them at once would give.
    TExClipboard gathered(*system, password, FastClock());
    for (const auto& offer : offers) {
        SCOPED_TRACE(offer.target);
        XclipOwner owner(QString::fromLatin1(offer.target),
                         folder.write("offer.bin", offer.bytes.toStdString()));
        ASSERT_TRUE(
            WaitUntil([&] { return ReadClipboardTarget(QString::fromLatin1(offer.target)) == offer.bytes; }));
        TExClipboard capture(*system, password, FastClock());
        // Our side learns of the new owner through the event loop.
        ASSERT_TRUE(WaitUntil([&] {
            capture.CaptureAll();
            return capture.Formats.size() == 1 && capture.Formats.front()->Format == offer.format;
        }));
        gathered.Formats.push_back(std::move(capture.Formats.front()));
    }
    ASSERT_EQ(gathered.Formats.size(), 4u);
    std::string stream;
    gathered.SaveToStream(stream);

    // Another clipboard object, as on the computer that pastes, restores the stream.
    system->setText("something else");
    TExClipboard restoring(*system, password, FastClock());
    EXPECT_EQ(restoring.LoadFromStream(stream), stream.size());
    restoring.RestoreAll();

    const QStringList targets = ReadClipboardTargets();
    for (const auto& offer : offers)
        EXPECT_TRUE(targets.contains(QLatin1String(offer.target))) << offer.target;
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("UTF8_STRING")), text);
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("text/html")), html);
    EXPECT_EQ(ReadClipboardTarget(QStringLiteral("chromium/x-web-custom-data")), custom);
    const std::optional<QByteArray> restoredPng = ReadClipboardTarget(QStringLiteral("image/png"));
    ASSERT_TRUE(restoredPng);
    const double difference =
        MeanChannelDifference(QImage::fromData(*restoredPng, "PNG"), QImage::fromData(png));
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, 4);
}

} // namespace
} // namespace tern
