#include "lang/LngWriter.h"

#include "lang/LanguageLoader.h"
#include "lang/LngFile.h"
#include "support/TempFolder.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

std::string readBack(const std::string& bytes, const char* section, const char* key)
{
    return LngFile::parse(bytes).text(section, key).value_or("<missing>");
}

// Every text written comes back from the reader as it was given, line breaks as backslash-n pairs,
// whether it replaces a key line or adds one.
TEST(LngWriter, TextsReadBackUnchanged)
{
    const struct
    {
        std::string text;
        std::string stored; // what LngFile::text gives
    } cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a=b = c", "a=b = c"},
        {"  outer blanks  ", "  outer blanks  "},
        {"\ttab and blank ", "\ttab and blank "},
        {"\"quoted\" at the start", "\"quoted\" at the start"},
        {"\"", "\""},
        {"\"\"", "\"\""},
        {"ends in a quote\"", "ends in a quote\""},
        {"line one\r\nline two\nthree\rfour", "line one\\nline two\\nthree\\nfour"},
        {"\n", "\\n"},
        {"Gr\xC3\xBC\xC3\x9F\xC3\x9F\xC2\xA0\xE2\x98\x83", "Gr\xC3\xBC\xC3\x9F\xC3\x9F\xC2\xA0\xE2\x98\x83"},
        {"'single quotes'", "'single quotes'"},
        {"[not a header]", "[not a header]"},
    };
    for (const auto& [text, stored] : cases) {
        LngWriter writer = LngWriter::parse("[GLOBAL]\r\nbOk=old\r\n");
        writer.setText("GLOBAL", "bOk", text);
        writer.setText("GLOBAL", "added", text);
        EXPECT_EQ(readBack(writer.bytes(), "GLOBAL", "bOk"), stored) << text;
        EXPECT_EQ(readBack(writer.bytes(), "GLOBAL", "added"), stored) << text;
    }

    // The language list reads names with a private-profile read, which takes off outer quotes.
    LngWriter writer;
    writer.setText("LANG_INFO", "Name", "'Deutsch'");
    EXPECT_EQ(LngFile::parse(writer.bytes()).profileString("LANG_INFO", "Name", ""), "'Deutsch'");
    writer.setText("LANG_INFO", "Name", " Deutsch ");
    EXPECT_EQ(LngFile::parse(writer.bytes()).profileString("LANG_INFO", "Name", ""), " Deutsch ");
}

TEST(LngWriter, WritesTheFirstSectionAndKeepsOtherLines)
{
    const std::string original = "; comment = with an equals sign\r\n"
                                 "bOk=before any section\r\n"
                                 "[Global]\r\n"
                                 "  bOk  =  OK  \r\n"
                                 "bOk=second line of the key\r\n"
                                 " [fInit]\r\n"
                                 "; trailing comment\r\n"
                                 "\r\n"
                                 "[fInit]\r\n"
                                 "aCopy=Copy\r\n"
                                 "[GLOBAL]\r\n"
                                 "bCancel=in the section that is never read\r\n";
    LngWriter writer = LngWriter::parse(original);
    writer.setText("GLOBAL", "BOK", "Okay");
    writer.setText("global", "bCancel", "Abbrechen");
    writer.setText("fInit", "aExit", "");
    writer.setText("LANG_INFO", "Name", "Deutsch");
    EXPECT_EQ(writer.bytes(), "; comment = with an equals sign\r\n"
                              "bOk=before any section\r\n"
                              "[Global]\r\n"
                              "  bOk  =  Okay\r\n"
                              "bOk=second line of the key\r\n"
                              "bCancel=Abbrechen\r\n"
                              " [fInit]\r\n"
                              "; trailing comment\r\n"
                              "\r\n"
                              "[fInit]\r\n"
                              "aCopy=Copy\r\n"
                              "aExit=\r\n"
                              "[GLOBAL]\r\n"
                              "bCancel=in the section that is never read\r\n"
                              "\r\n"
                              "[LANG_INFO]\r\n"
                              "Name=Deutsch\r\n");
    const LngFile file = LngFile::parse(writer.bytes());
    EXPECT_EQ(file.text("GLOBAL", "bOk"), "Okay");
    EXPECT_EQ(file.text("GLOBAL", "bCancel"), "Abbrechen");
    EXPECT_EQ(file.text("fInit", "aExit"), "");

    // Clearing a text keeps the key line with an empty value.
    writer.setText("GLOBAL", "bOk", "");
    EXPECT_NE(writer.bytes().find("\r\n  bOk  =\r\n"), std::string::npos);
}

TEST(LngWriter, KeepsLineEndsAndAddsMissingOnes)
{
    LngWriter unix = LngWriter::parse("[A]\nk=v");
    unix.setText("A", "n", "new");
    unix.setText("B", "k", "v");
    EXPECT_EQ(unix.bytes(), "[A]\nk=v\nn=new\n\n[B]\nk=v\n");

    LngWriter empty;
    empty.setText("LANG_INFO", "ForBuild", "12");
    EXPECT_EQ(empty.bytes(), "[LANG_INFO]\r\nForBuild=12\r\n");

    LngWriter headerOnly = LngWriter::parse("[A]");
    headerOnly.setText("A", "k", "v");
    EXPECT_EQ(headerOnly.bytes(), "[A]\r\nk=v\r\n");
}

TEST(LngWriter, FilesReadAsWindows1252AreWrittenAsWindows1252)
{
    const std::string original = "[GLOBAL]\r\nbOk=Gr\xFC\xDF Gott\r\n";
    LngWriter writer = LngWriter::parse(original);
    EXPECT_EQ(writer.encoding(), LngWriter::Encoding::Windows1252);
    writer.setText("GLOBAL", "bCancel", "Schlie\u00DFen \u20AC");
    EXPECT_EQ(writer.bytes(), original + std::string("bCancel=Schlie\xDF") + "en \x80\r\n");

    // A character that Windows-1252 lacks turns the whole file into UTF-8: no text is lost.
    writer.setText("GLOBAL", "bRetry", "\xE2\x98\x83");
    const LngFile file = LngFile::parse(writer.bytes());
    EXPECT_EQ(file.text("GLOBAL", "bOk"), "Gr\xC3\xBC\xC3\x9F Gott");
    EXPECT_EQ(file.text("GLOBAL", "bRetry"), "\xE2\x98\x83");

    // Windows-1252 bytes that happen to form UTF-8 would be read back as other characters.
    LngWriter trap = LngWriter::parse("[S]\r\na=\xC3\r\n");
    trap.setText("S", "a", "\xC3\x83\xC2\xA9");
    EXPECT_EQ(readBack(trap.bytes(), "S", "a"), "\xC3\x83\xC2\xA9");

    LngWriter utf8 = LngWriter::parse("[S]\r\na=\xC3\xBC\r\n");
    utf8.setText("S", "b", "\xC3\xA9");
    EXPECT_EQ(utf8.bytes(), "[S]\r\na=\xC3\xBC\r\nb=\xC3\xA9\r\n");
}

TEST(LngWriter, RefusesSectionsAndKeysThatALineCannotHold)
{
    LngWriter writer;
    for (const auto& [section, key] : {std::pair<std::string, std::string>{"", "k"},
                                       {"S", ""},
                                       {"S", " k"},
                                       {"S", "a=b"},
                                       {"S", "[k"},
                                       {"S\r\n[X]", "k"},
                                       {"S", "k\nx"}}) {
        EXPECT_THROW(writer.setText(section, key, "v"), Error) << section << "/" << key;
    }
    EXPECT_EQ(writer.bytes(), "");
}

TEST(LngWriter, WriteLngTextCreatesAndRewritesTheWholeFile)
{
    test::TempFolder folder;
    const std::string path = folder.file("german.lng");
    WriteLngText(path, "LANG_INFO", "Name", "Deutsch");
    WriteLngText(path, "GLOBAL", "mHotkeyBusy", "Belegt.\r\nBitte \"anders\" w\xC3\xA4hlen.");
    EXPECT_EQ(ReadFileBytes(path, 4096), "[LANG_INFO]\r\nName=Deutsch\r\n\r\n[GLOBAL]\r\n"
                                         "mHotkeyBusy=Belegt.\\nBitte \"anders\" w\xC3\xA4hlen.\r\n");

    TLanguageLoader loader;
    loader.Apply(path);
    EXPECT_EQ(loader.ReadText("GLOBAL", "mHotkeyBusy", false), "Belegt.\r\nBitte \"anders\" w\xC3\xA4hlen.");

    // A file that cannot be read whole is never replaced by a shorter one.
    const std::string folderPath = folder.file("folder.lng");
    ASSERT_TRUE(CreateFolders(folderPath));
    try {
        WriteLngText(folderPath, "GLOBAL", "bOk", "OK");
        FAIL() << "a folder was written as a file";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + folderPath);
    }
    const std::string big = folder.write("big.lng", std::string(LngFile::kMaxFileBytes + 1, ';'));
    EXPECT_THROW(WriteLngText(big, "GLOBAL", "bOk", "OK"), Error);
    EXPECT_EQ(ReadFileBytes(big, LngFile::kMaxFileBytes * 2)->size(), LngFile::kMaxFileBytes + 1);
}

} // namespace
} // namespace tern
