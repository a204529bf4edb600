#include "util/TextRoutines.h"

#include "platform/PathRules.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(TextRoutines, IncludeTrailingSlashAppendsOneDelimiterAfterTrimming)
{
    EXPECT_EQ(IncludeTrailingSlash(""), "");
    EXPECT_EQ(IncludeTrailingSlash("C:"), "C:");
    EXPECT_EQ(IncludeTrailingSlash("/opt/tern/"), "/opt/tern/");
    EXPECT_EQ(IncludeTrailingSlash("C:\\Tern\\"), "C:\\Tern\\");
    EXPECT_EQ(IncludeTrailingSlash("  /opt/tern \t"), std::string("/opt/tern") + platform::kPathDelimiter);
}

TEST(TextRoutines, FileNameWithoutExtDropsOnlyTheLastExtension)
{
    EXPECT_EQ(FileNameWithoutExt("  german  "), "german");
    EXPECT_EQ(FileNameWithoutExt("german.lng"), "german");
    EXPECT_EQ(FileNameWithoutExt("swiss.german.lng"), "swiss.german");
    EXPECT_EQ(FileNameWithoutExt("/langs.d/german"), "/langs.d/german");
    EXPECT_EQ(FileNameWithoutExt("C:german.lng"), "C:german");
    EXPECT_EQ(FileNameWithoutExt("german.lng"), FileNameWithoutExt("german"));
}

TEST(TextRoutines, DelimitedFieldReturnsTheDelimiterBeyondTheLastField)
{
    struct Case
    {
        int index;
        const char* text;
        char delimiter;
        const char* expected;
    };
    const Case cases[] = {
        {0, "a;b;c", ';', "a"}, {1, "a;b;c", ';', "b"},  {2, "a;b;c", ';', "c"},
        {3, "a;b;c", ';', ";"}, {1, ".bOk", '.', "bOk"}, {2, ".bOk", '.', "."},
        {0, "", ';', ""},       {1, "", ';', ";"},       {1, "a;;c", ';', ""},
        {2, "a;b;", ';', ""},   {-1, "a;b", ';', ";"},   {0, "outdated;5", ';', "outdated"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DelimitedField(c.index, c.text, c.delimiter), c.expected)
            << c.index << " of '" << c.text << "'";
}

TEST(TextRoutines, EscapeLinkValueEscapesControlsBlanksAndSlashesOnly)
{
    EXPECT_EQ(EscapeLinkValue("a b/c\\d"), "a%20b%2Fc%5Cd");
    EXPECT_EQ(EscapeLinkValue("user.name@example.org"), "user.name@example.org");
    EXPECT_EQ(EscapeLinkValue(std::string("\x00\x1f\t", 3)), "%00%1F%09");
    EXPECT_EQ(EscapeLinkValue("\xc3\xa9"), "\xc3\xa9");
}

TEST(TextRoutines, SubstituteArgumentIsLiteralAndNeverAFormat)
{
    EXPECT_EQ(SubstituteArgument("Press %s now", "Ctrl+%d"), "Press Ctrl+%d now");
    EXPECT_EQ(SubstituteArgument("100% sure %s", "x"), "100% sure x");
    EXPECT_EQ(SubstituteArgument("%s and %s", "a"), "a and a");
    EXPECT_EQ(SubstituteArgument("no pattern", "a"), "no pattern");
}

TEST(TextRoutines, AsciiComparisonIgnoresLetterCaseOnly)
{
    EXPECT_TRUE(SameTextAscii("GLOBAL", "global"));
    EXPECT_FALSE(SameTextAscii("GLOBAL", "global "));
    EXPECT_FALSE(SameTextAscii("\xc3\x89", "\xc3\xa9"));
    EXPECT_LT(CompareTextAscii("apple", "Banana"), 0);
    EXPECT_GT(CompareTextAscii("german", "English"), 0);
    EXPECT_LT(CompareTextAscii("Eng", "english"), 0);
    EXPECT_EQ(CompareTextAscii("FRENCH", "french"), 0);
}

} // namespace
} // namespace tern
