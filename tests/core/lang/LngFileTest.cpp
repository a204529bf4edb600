#include "lang/LngFile.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

std::string text(const LngFile& file, const char* section, const char* key)
{
    return file.text(section, key).value_or("<missing>");
}

TEST(LngFile, SectionsAndKeysFollowTheReadingRules)
{
    const LngFile file = LngFile::parse("orphan=before any section\r\n"
                                        "[Global]\r\n"
                                        "  bOk  =  OK  \r\n"
                                        "bok=second key of the same name\r\n"
                                        "empty=\r\n"
                                        "noequals line\r\n"
                                        "; comment=not a key? it is a key line: it holds \"=\"\r\n"
                                        " [FAUTHFORM]\r\n"
                                        "lCaption=inside GLOBAL after all\r\n"
                                        "[GLOBAL]\r\n"
                                        "bCancel=from a duplicate section\r\n"
                                        "[fInit]\n"
                                        "aCopy=Remote Copy\n");
    EXPECT_EQ(text(file, "GLOBAL", "BOK"), "OK");
    EXPECT_EQ(text(file, "global", "bOk"), "OK");
    EXPECT_EQ(text(file, "GLOBAL", "empty"), "");
    EXPECT_EQ(text(file, "GLOBAL", "orphan"), "<missing>");
    EXPECT_EQ(text(file, "GLOBAL", "lCaption"), "inside GLOBAL after all");
    EXPECT_EQ(text(file, "FAUTHFORM", "lCaption"), "<missing>");
    EXPECT_EQ(text(file, "GLOBAL", "bCancel"), "<missing>");
    EXPECT_EQ(text(file, "FINIT", "aCopy"), "Remote Copy");
    EXPECT_EQ(text(file, "nosuch", "aCopy"), "<missing>");
}

TEST(LngFile, QuotedValuesFollowTheQuotingRule)
{
    struct Case
    {
        const char* value;
        const char* expected;
    };
    const Case cases[] = {
        {"\"  padded  \"", "  padded  "},
        {"\"say \"\"hi\"\"\" dropped", "say \"hi\""},
        {"\"\"", ""},
        {"\"\"after", "after"},
        {"\"unclosed", "unclose"},
        {"plain \"inner\" quotes", "plain \"inner\" quotes"},
        {"\"a\"b", "a"},
    };
    for (const Case& c : cases) {
        const LngFile file = LngFile::parse(std::string("[S]\r\nk=") + c.value + "\r\n");
        EXPECT_EQ(text(file, "S", "k"), c.expected) << c.value;
    }
}

TEST(LngFile, BytesAreReadAsUtf8OrWindows1252)
{
    EXPECT_EQ(text(LngFile::parse("[S]\r\nk=Fran\xc3\xa7"
                                  "ais\r\n"),
                   "S", "k"),
              "Fran\xc3\xa7"
              "ais");
    EXPECT_EQ(text(LngFile::parse("[S]\r\nk=Fran\xe7"
                                  "ais\r\n"),
                   "S", "k"),
              "Fran\xc3\xa7"
              "ais");
}

TEST(LngFile, ProfileReadsTrimUnquoteAndParseIntegers)
{
    const LngFile file = LngFile::parse("[LANG_INFO]\r\n"
                                        "Name=\"Deutsch\"\r\n"
                                        "Quoted='single'\r\n"
                                        "Long=" +
                                        std::string(3000, 'x') +
                                        "\r\n"
                                        "Hex=0x1A\r\nNeg=-7\r\nJunk=abc\r\nLead=12abc\r\n");
    EXPECT_EQ(file.profileString("lang_info", "Name", "d"), "Deutsch");
    EXPECT_EQ(file.profileString("LANG_INFO", "Quoted", "d"), "single");
    EXPECT_EQ(file.profileString("LANG_INFO", "Long", "d").size(), 2047u);
    EXPECT_EQ(file.profileString("LANG_INFO", "Missing", "german.lng"), "german.lng");
    EXPECT_EQ(file.profileInt("LANG_INFO", "Hex", 0), 26);
    EXPECT_EQ(file.profileInt("LANG_INFO", "Neg", 0), -7);
    EXPECT_EQ(file.profileInt("LANG_INFO", "Junk", 5), 0);
    EXPECT_EQ(file.profileInt("LANG_INFO", "Lead", 0), 12);
    EXPECT_EQ(file.profileInt("LANG_INFO", "Missing", 3), 3);
}

TEST(LngFile, OversizedOrMissingFilesReadAsEmpty)
{
    EXPECT_TRUE(LngFile::load("/nonexistent/folder/english.lng").empty());
}

TEST(LngFile, LargeFilesOfManySectionsOrKeysParse)
{
    // Just under the file limit: about 100,000 sections, or as many keys in one section. Their
    // parse time is measured in bench/LngFileBench.cpp.
    std::string sections;
    std::string keys = "[GLOBAL]\n";
    for (int i = 0; sections.size() < LngFile::kMaxFileBytes - 32; ++i)
        sections += "[s" + std::to_string(i) + "]\nk=v\n";
    for (int i = 0; keys.size() < LngFile::kMaxFileBytes - 32; ++i)
        keys += "key" + std::to_string(i) + "=v\n";
    for (const std::string* file : {&sections, &keys}) {
        const LngFile parsed = LngFile::parse(*file);
        EXPECT_EQ(text(parsed, "S7", "K"), file == &sections ? "v" : "<missing>");
        EXPECT_EQ(text(parsed, "global", "KEY7"), file == &keys ? "v" : "<missing>");
    }
}

} // namespace
} // namespace tern
