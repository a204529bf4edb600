// Every format travels by name, a paste never empties the clipboard by mistake, and hostile
// snapshots cost little and change nothing.
#include "clipboard/ExClipboard.h"
#include "clipboard/FormatNameTable.h"
#include "clipboard/JpegCodec.h"
#include "platform/fake/FakeClipboard.h"
#include "service/ByteOrder.h"
#include "service/PasswordDigest.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace tern {
namespace {

using platform::Bitmap;
using platform::ClipboardEntry;
using platform::fake::FakeClipboard;

constexpr std::uint32_t kHtml = 0xF000;
constexpr std::uint32_t kOwnCheck = 0xE000;
constexpr std::uint32_t kOwnSvg = 0xE001;

// The literal's own length, zero bytes included (a length written by hand would read past its end).
constexpr char kBinaryBytes[] = "tern\0check\0\x01\x02\xff\0binary data with zeros";
const std::string kBinary(kBinaryBytes, sizeof kBinaryBytes - 1);
const std::string kSvg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=\"4\" height=\"4\"/></svg>";
const std::string kHtmlText = "<html><body><b>bold</b> words</body></html>";

Bitmap flat(int width, int height)
{
    return Bitmap{width, height,
                  std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3, 200)};
}

std::string recordOf(std::uint32_t format, const std::string& storage)
{
    std::string record(9, '\0');
    record[0] = 0x01;
    PutLe32(record.data() + 1, format);
    PutLe32(record.data() + 5, static_cast<std::uint32_t>(storage.size()));
    return record + storage;
}

std::string streamOf(std::int32_t count, const std::string& records)
{
    std::string stream(4, '\0');
    PutLe32(stream.data(), static_cast<std::uint32_t>(count));
    return stream + records;
}

class SnapshotFidelityTest : public ::testing::Test
{
protected:
    std::string password = PasswordDigest("fidelity");
    FakeClipboard source;
    FakeClipboard target;
    TExClipboard capturing{source, [this] { return password; }, JumpingClock()};
    TExClipboard restoring{target, [this] { return password; }, JumpingClock()};

    std::string capture(std::vector<ClipboardEntry> entries)
    {
        source.set(std::move(entries));
        capturing.CaptureAll();
        std::string stream;
        capturing.SaveToStream(stream);
        return stream;
    }

    std::string packed(const std::string& data) const
    {
        TECLMemoryStream container(password, 0, TECLMemoryStream::kLevelCompressed,
                                   {JumpingClock(), EclNoLimit, {}, {}});
        container.Write(0, data);
        return container.Storage();
    }
};

TEST(FormatNameTable, RoundTripsAndRefusesBrokenTables)
{
    const std::vector<FormatName> names = {{kOwnCheck, "application/x-tern-check"},
                                           {kOwnSvg, "image/svg+xml"}};
    const std::string table = EncodeFormatNames(names);
    EXPECT_EQ(DecodeFormatNames(table), names);
    std::string tooMany = table;
    PutLe32(tooMany.data() + 4, 1025);
    std::string longName = EncodeFormatNames({{kOwnCheck, "abc"}});
    PutLe32(longName.data() + 12, 256);
    const std::vector<std::pair<const char*, std::string>> broken = {
        {"cut short", table.substr(0, table.size() - 1)},
        {"no count", table.substr(0, 6)},
        {"too many names", tooMany},
        {"name too long", longName},
    };
    for (const auto& [name, bytes] : broken) {
        SCOPED_TRACE(name);
        EXPECT_THROW(DecodeFormatNames(bytes), StreamReadError);
    }
    // A table of a later version is not understood: the fixed numbers alone apply.
    std::string later = table;
    PutLe32(later.data(), 3);
    EXPECT_TRUE(DecodeFormatNames(later).empty());
    // A name with spaces inside makes a version 2 table, which keeps them; one with an outer space
    // cannot travel.
    const std::string windowsNames = EncodeFormatNames({{0xC0A1, "HTML Format"}, {kOwnSvg, "image/svg+xml"}});
    EXPECT_EQ(GetLe32(windowsNames.data()), 2U);
    EXPECT_EQ(DecodeFormatNames(windowsNames).front().name, "HTML Format");
    EXPECT_EQ(GetLe32(table.data()), 1U);
    EXPECT_THROW(EncodeFormatNames({{kOwnCheck, "two words "}}), Error);
}

// Entries no system could use are dropped, the rest of the table kept.
TEST(FormatNameTable, DropsEntriesOutsideItsRangeTwiceNamedOrUnfitForItsVersion)
{
    const FormatName kept{kOwnSvg, "image/svg+xml"};
    std::string spaced = EncodeFormatNames({{kOwnCheck, "abc"}, kept});
    spaced[4 + 4 + 8 + 1] = ' '; // the middle letter of "abc" in a version 1 table
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"a number below the registered range", EncodeFormatNames({{0x10, "text/x-low"}, kept})},
        {"a number of the fixed table", EncodeFormatNames({{0xF000, "image/png"}, kept})},
        {"the name table's own number", EncodeFormatNames({{0xF0FF, "text/x-table"}, kept})},
        {"a number named twice",
         EncodeFormatNames({{kOwnCheck, "text/x-one"}, kept, {kOwnCheck, "text/x-two"}})},
        {"a space in a version 1 name", spaced},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(DecodeFormatNames(bytes), std::vector<FormatName>{kept});
    }
}

TEST(FormatNameTable, OnlyMimeTypesAreMimeTypeNames)
{
    for (const char* name : {"text/html", "image/svg+xml", "application/vnd.oasis.opendocument.text",
                             "x-special/gnome-copied-files", "chromium/x-web-custom-data"})
        EXPECT_TRUE(IsMimeTypeName(name)) << name;
    for (const char* name : {"INCR", "PNG", "HTML Format", "text/", "/html", "text/html/x",
                             "text/plain;charset=utf-8", "-text/html", "text/ html", "TARGETS"})
        EXPECT_FALSE(IsMimeTypeName(name)) << name;
}

TEST_F(SnapshotFidelityTest, OwnTypesTravelUnderTheirNamesInCaptureOrder)
{
    source.names = {{kOwnCheck, "application/x-tern-check"}, {kOwnSvg, "image/svg+xml"}};
    const std::string stream = capture({{kHtml, kHtmlText}, {kOwnSvg, kSvg}, {kOwnCheck, kBinary}});
    // The name table is the last record, after every real one.
    ASSERT_EQ(capturing.Formats.size(), 4u);
    EXPECT_EQ(capturing.Formats.back()->Format, platform::kFormatNameTable);

    target.set({{13, std::string("user's text\0", 12)}});
    restoring.LoadFromStream(stream);
    ASSERT_TRUE(restoring.RestoreAll());
    ASSERT_EQ(target.content.size(), 3u);
    const std::vector<std::tuple<std::uint32_t, std::string, std::string>> expected = {
        {kHtml, "", kHtmlText},
        {kOwnSvg, "image/svg+xml", kSvg},
        {kOwnCheck, "application/x-tern-check", kBinary}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(target.content[i].format, std::get<0>(expected[i]));
        EXPECT_EQ(target.content[i].name, std::get<1>(expected[i]));
        EXPECT_EQ(std::get<std::string>(target.content[i].data), std::get<2>(expected[i]));
    }
}

TEST_F(SnapshotFidelityTest, WithoutNamesNoTableIsWrittenAndNumbersAloneApply)
{
    capture({{kHtml, kHtmlText}, {kOwnCheck, kBinary}});
    EXPECT_EQ(capturing.Formats.size(), 2u);
    EXPECT_EQ(capturing.Formats.back()->Format, kOwnCheck);
}

TEST_F(SnapshotFidelityTest, RestoreThatCanPutNothingLeavesTheClipboardAlone)
{
    source.names = {{kOwnCheck, "application/x-tern-check"}};
    const std::string named = capture({{kOwnCheck, kBinary}});
    const std::string unnamed = capture({{0xC123, kBinary}});
    const std::string tableOnly =
        streamOf(1, recordOf(platform::kFormatNameTable, packed(EncodeFormatNames({{kOwnCheck, "a/b"}}))));
    target.refused = {kOwnCheck, 0xC123, platform::kFormatNameTable};
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"a type this system cannot offer", named},
        {"a number without a name", unnamed},
        {"only a name table", tableOnly},
        {"no records", streamOf(0, "")},
    };
    for (const auto& [name, stream] : cases) {
        SCOPED_TRACE(name);
        target.set({{13, std::string("kept\0", 6)}});
        target.writes.clear();
        const std::uint64_t sequence = target.sequence;
        restoring.LoadFromStream(stream);
        EXPECT_FALSE(restoring.RestoreAll());
        EXPECT_TRUE(target.writes.empty());
        EXPECT_EQ(target.sequence, sequence);
    }
    // The same type is put back where its name is known.
    target.acceptedNames = {"application/x-tern-check"};
    restoring.LoadFromStream(named);
    EXPECT_TRUE(restoring.RestoreAll());
}

TEST_F(SnapshotFidelityTest, ManyFormatsCostOneTimedPasswordCheck)
{
    const std::string stream = capture({{13, std::string("some text to carry\0", 20)},
                                        {kHtml, kHtmlText},
                                        {kOwnCheck, kBinary},
                                        {kOwnSvg, kSvg},
                                        {2, flat(32, 32)}});
    auto checks = std::make_shared<EclPasswordChecks>();
    ClipboardFormats formats;
    std::size_t position = 0;
    LoadSnapshot(stream, position, password, JumpingClock(), formats, checks);
    EXPECT_EQ(formats.size(), 5u);
    EXPECT_EQ(checks->TimedCount(), 1);
}

TEST_F(SnapshotFidelityTest, HostileSnapshotsAreRefusedCheaply)
{
    // Empty records under the real clock: no container opens anything, so no check is paid.
    std::string empty;
    for (int i = 0; i < 1024; ++i)
        empty += recordOf(kHtml, "");
    TExClipboard realClock{target, [this] { return password; }};
    const auto start = std::chrono::steady_clock::now();
    realClock.LoadFromStream(streamOf(1024, empty));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(realClock.Formats.size(), 1024u);

    // More than 1,024 records: refused before any record is read.
    std::string many = empty;
    for (int i = 0; i < 1024; ++i)
        many += recordOf(kHtml, "");
    EXPECT_THROW(restoring.LoadFromStream(streamOf(1025, many)), StreamReadError);
    EXPECT_TRUE(restoring.Formats.empty());

    // Items that together decode to more than 1 GiB: refused from their headers alone.
    const std::string fiveMegabytes = packed(std::string(5'000'000, '\0'));
    std::string huge;
    for (int i = 0; i < 215; ++i)
        huge += recordOf(kHtml, fiveMegabytes);
    target.set({{13, std::string("kept\0", 6)}});
    target.writes.clear();
    EXPECT_THROW(restoring.LoadFromStream(streamOf(215, huge)), Error);
    EXPECT_LT(restoring.Formats.size(), 215u);
    EXPECT_TRUE(target.writes.empty());
}

TEST_F(SnapshotFidelityTest, PicturesOverTheirBudgetOrCutShortChangeNothing)
{
    const std::string jpeg = EncodeJpeg(flat(64, 48), 90);
    // A frame of 8,000 x 8,001 pixels: just over 64 megapixels.
    std::string huge = jpeg;
    const std::size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = '\x1F';
    huge[sof + 6] = '\x41'; // height 8001
    huge[sof + 7] = '\x1F';
    huge[sof + 8] = '\x40'; // width 8000
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"over 64 megapixels", huge},
        {"cut short", jpeg.substr(0, jpeg.size() * 2 / 3)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        target.set({{13, std::string("kept\0", 6)}});
        target.writes.clear();
        restoring.LoadFromStream(
            streamOf(2, recordOf(2, packed(bytes)) + recordOf(kHtml, packed(kHtmlText))));
        EXPECT_THROW(restoring.RestoreAll(), Error);
        EXPECT_TRUE(target.writes.empty());
    }
}

} // namespace
} // namespace tern
