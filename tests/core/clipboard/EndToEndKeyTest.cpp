#include "clipboard/EndToEndKey.h"
#include "clipboard/ExClipboard.h"
#include "clipboard/KeyedSnapshot.h"
#include "platform/fake/FakeClipboard.h"
#include "service/ByteOrder.h"
#include "service/PasswordDigest.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

using platform::fake::FakeClipboard;

const std::string kPassphrase = "correct horse battery";

// A clipboard of text, an HTML format named by the system and a picture.
void fill(FakeClipboard& system)
{
    platform::Bitmap picture{16, 8, std::vector<std::uint8_t>(16 * 8 * 3, 0x40)};
    system.names[0xC001] = "text/html";
    system.set({{platform::kFormatUnicodeText, Utf16LeBytes(u"keyed text\0"), {}},
                {0xC001, std::string("<b>bold</b> and some more markup"), "text/html"},
                {platform::kFormatBitmap, picture, {}}});
}

// Every write as format, name and bytes (a picture as its pixels).
std::vector<std::string> described(const FakeClipboard& system)
{
    std::vector<std::string> out;
    for (const auto& write : system.writes)
        for (const auto& entry : write) {
            const auto* picture = std::get_if<platform::Bitmap>(&entry.data);
            out.push_back(std::to_string(entry.format) + entry.name +
                          (picture ? std::string(picture->rgb.begin(), picture->rgb.end())
                                   : std::get<std::string>(entry.data)));
        }
    return out;
}

// What a copy on one computer uploads, and what a paste on another does with it.
class EndToEndKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!EndToEndKeyAvailable())
            GTEST_SKIP() << kEndToEndKeyUnavailableText;
    }

    std::string password = PasswordDigest("account password");
    int clockReadings = 0;

    std::string copy(const std::string& passphrase)
    {
        FakeClipboard system;
        fill(system);
        const std::string value = CopyKeyValue(password, passphrase);
        TExClipboard clipboard(
            system, [&value] { return value; }, JumpingClock());
        clipboard.CaptureAll();
        AppendKeySchemeRecord(clipboard.Formats, passphrase);
        std::string stream;
        clipboard.SaveToStream(stream);
        return stream;
    }

    // The clipboard writes of a paste with `passphrase`, or the error's text.
    std::string paste(const std::string& stream, const std::string& passphrase, FakeClipboard& system)
    {
        const MonotonicClock jumping = JumpingClock();
        TExClipboard clipboard(
            system, [this] { return password; },
            [this, jumping] {
                ++clockReadings;
                return jumping();
            });
        clipboard.SetEndToEndKey([&passphrase] { return passphrase; });
        try {
            clipboard.LoadFromStream(stream);
            clipboard.RestoreAll();
        } catch (const Error& error) {
            EXPECT_TRUE(clipboard.Formats.empty());
            return error.what();
        }
        return {};
    }
};

TEST_F(EndToEndKeyTest, TheSameKeyOrACopyWithoutKeyRestoresWhatACopyWithoutKeyRestores)
{
    FakeClipboard plain;
    ASSERT_EQ(paste(copy(""), "", plain), "");
    ASSERT_EQ(plain.writes.size(), 1u);
    ASSERT_EQ(plain.writes[0].size(), 3u);
    for (const auto& [copyKey, pasteKey] :
         {std::pair{kPassphrase, kPassphrase}, {std::string(), kPassphrase}}) {
        FakeClipboard system;
        EXPECT_EQ(paste(copy(copyKey), pasteKey, system), "");
        EXPECT_EQ(described(system), described(plain)) << copyKey;
    }
}

TEST_F(EndToEndKeyTest, WithoutTheKeyThePasteFailsOnceWithTheTextAndWritesNothing)
{
    const std::string stream = copy(kPassphrase);
    for (const std::string& other : {std::string(), std::string("another passphrase")}) {
        FakeClipboard system;
        clockReadings = 0;
        EXPECT_EQ(paste(stream, other, system), kEndToEndKeyNeededText) << other;
        EXPECT_TRUE(system.writes.empty());
        // One timed check for the whole snapshot (a start and an end reading), none without a key.
        EXPECT_EQ(clockReadings, other.empty() ? 0 : 2);
    }
}

TEST_F(EndToEndKeyTest, ThePasswordValueOpensNoRecordButTheSchemeRecord)
{
    const std::string stream = copy(kPassphrase);
    // Records: marker, format and length (9 bytes), then the container.
    std::vector<std::pair<std::uint32_t, std::string>> records;
    for (std::size_t at = 4; at < stream.size();) {
        const auto length = GetLe32(stream.data() + at + 5);
        records.emplace_back(GetLe32(stream.data() + at + 1), stream.substr(at + 9, length));
        at += 9 + length;
    }
    ASSERT_EQ(records.size(), 5u); // three formats, the name table, the scheme record
    EXPECT_EQ(records.back().first, kFormatKeyScheme);
    EXPECT_EQ(FindKeyScheme(stream, 0), KeySchemeForCopies());
    for (std::size_t index = 0; index + 1 < records.size(); ++index) {
        TECLMemoryStream::Options options;
        options.clock = JumpingClock();
        TECLMemoryStream data(password, 0, TECLMemoryStream::kLevelCompressed, options);
        EXPECT_THROW(data.SetStorage(records[index].second), Error) << index;
    }
}

TEST_F(EndToEndKeyTest, AFullSnapshotGivesUpItsLastFormatForTheSchemeRecord)
{
    ClipboardFormats formats;
    for (std::uint32_t format = 1; format <= kMaxSnapshotRecords; ++format) {
        formats.push_back(std::make_unique<TClipboardFormat>(password));
        formats.back()->Format = format == kMaxSnapshotRecords ? platform::kFormatNameTable : format;
    }
    AppendKeySchemeRecord(formats, kPassphrase);
    ASSERT_EQ(formats.size(), std::size_t{kMaxSnapshotRecords});
    EXPECT_EQ(formats[formats.size() - 3]->Format, kMaxSnapshotRecords - 2);
    EXPECT_EQ(formats[formats.size() - 2]->Format, platform::kFormatNameTable);
    EXPECT_EQ(formats.back()->Format, kFormatKeyScheme);
}

TEST_F(EndToEndKeyTest, SchemeRecordsAreReadOnlyWhenWhole)
{
    KeyScheme scheme = KeySchemeForCopies();
    EXPECT_EQ(DecodeKeyScheme(EncodeKeyScheme(scheme)), scheme);
    EXPECT_EQ(DecodeKeyScheme("<html>not a scheme</html>"), std::nullopt);
    const std::string whole = EncodeKeyScheme(scheme);
    EXPECT_THROW(DecodeKeyScheme(whole.substr(0, whole.size() - 1)), StreamReadError);
    EXPECT_THROW(DecodeKeyScheme(whole.substr(0, 6)), StreamReadError);
    for (const auto& [ops, mem] : {std::pair{0u, 65536u}, {5u, 65536u}, {2u, 4u}, {2u, 512u * 1024}}) {
        scheme.opsLimit = ops;
        scheme.memLimitKiB = mem;
        EXPECT_THROW(DecodeKeyScheme(EncodeKeyScheme(scheme)), StreamReadError) << ops << ' ' << mem;
    }
    scheme = KeySchemeForCopies();
    scheme.version = 2;
    try {
        DecodeKeyScheme(EncodeKeyScheme(scheme));
        ADD_FAILURE() << "a scheme of an unknown version was read";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), kEndToEndKeyNeededText);
    }
}

TEST_F(EndToEndKeyTest, TheKeyDependsOnPassphraseAndSaltAndIsKeptOnceDerived)
{
    KeyScheme scheme = KeySchemeForCopies();
    const std::string value = EndToEndKeyValue(kPassphrase, scheme);
    EXPECT_EQ(value.size(), 64u);
    EXPECT_EQ(EndToEndKeyValue(kPassphrase, scheme), value);
    EXPECT_NE(EndToEndKeyValue("another passphrase", scheme), value);
    scheme.salt[0] ^= 1;
    EXPECT_NE(EndToEndKeyValue(kPassphrase, scheme), value);
}

} // namespace
} // namespace tern
