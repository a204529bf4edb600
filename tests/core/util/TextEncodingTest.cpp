#include "util/TextEncoding.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(TextEncoding, Utf8ValidityRejectsMalformedSequences)
{
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"));
    EXPECT_TRUE(IsValidUtf8("\xef\xbf\xbd"));      // U+FFFD itself
    EXPECT_FALSE(IsValidUtf8("caf\xe9"));          // Windows-1252 e acute
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xe2\x82"));         // cut short
    EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80")); // above U+10FFFF
}

TEST(TextEncoding, SurrogateHalvesDecodeOnlyWhenAccepted)
{
    const std::string highHalf = "\xed\xa0\xbd"; // U+D83D written on its own
    size_t pos = 0;
    EXPECT_EQ(DecodeUtf8(highHalf, pos), U'\xFFFD');
    EXPECT_EQ(pos, 1u);
    pos = 0;
    EXPECT_EQ(DecodeUtf8(highHalf, pos, true), char32_t{0xD83D});
    EXPECT_EQ(pos, 3u);
    // Overlong forms stay malformed either way.
    pos = 0;
    EXPECT_EQ(DecodeUtf8("\xc0\xaf", pos, true), U'\xFFFD');
}

TEST(TextEncoding, Windows1252RoundTripsThroughUtf8)
{
    EXPECT_EQ(Windows1252ToUtf8("caf\xe9 \x80 \x9f"), "caf\xc3\xa9 \xe2\x82\xac \xc5\xb8");
    EXPECT_EQ(Utf8ToWindows1252("caf\xc3\xa9 \xe2\x82\xac \xc5\xb8"), "caf\xe9 \x80 \x9f");
    // Characters that Windows-1252 cannot hold, and malformed bytes, become "?".
    EXPECT_EQ(Utf8ToWindows1252("\xd0\x96 \xf0\x9f\x98\x80 \xff"), "? ? ?");
    std::string every;
    for (int byte = 0; byte < 256; ++byte)
        every += static_cast<char>(byte);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(every)), every);
}

TEST(TextEncoding, FileBytesAreShownAsUtf8WhenValidElseAsWindows1252)
{
    EXPECT_EQ(DisplayTextFromBytes("Fran\xc3\xa7"
                                   "ais"),
              "Fran\xc3\xa7"
              "ais");
    EXPECT_EQ(DisplayTextFromBytes("Fran\xe7"
                                   "ais"),
              "Fran\xc3\xa7"
              "ais");
}

TEST(TextEncoding, Utf16LeTextBlocksEndWithAZeroUnit)
{
    const struct
    {
        const char* name;
        std::string utf8;
        std::string block;
    } cases[] = {
        {"empty", "", std::string("\0\0", 2)},
        {"ascii", "ab", std::string("a\0b\0\0\0", 6)},
        {"two and three bytes", "\xc3\xa9\xe2\x82\xac", std::string("\xe9\0\xac\x20\0\0", 6)},
        {"surrogate pair", "\xf0\x9f\x98\x80", std::string("\x3d\xd8\x00\xde\0\0", 6)},
        {"malformed byte", "\xff", std::string("\xfd\xff\0\0", 4)},
        {"zero inside", std::string("a\0b", 3), std::string("a\0\0\0b\0\0\0", 8)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf16LeTextBlock(c.utf8), c.block) << c.name;
    // Code units go out as they are, a lone surrogate too.
    EXPECT_EQ(Utf16LeBytes(std::u16string(1, char16_t{0xDC00}) + u"z"), std::string("\x00\xdc"
                                                                                    "z\0",
                                                                                    4));
}

} // namespace
} // namespace tern
