#include "lang/LanguageLoader.h"

#include "lang/LanguageTexts.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

class LanguageLoaderTest : public ::testing::Test
{
protected:
    LanguageLoaderTest()
    {
        folder.write("english.lng",
                     "[GLOBAL]\r\nbOk=OK\r\nbCancel=Cancel\r\nmTwo=first\\nsecond\r\n"
                     "[FAUTHFORM]\r\nmKeyTip=Press %s\r\n[fSelectLang]\r\nlCaption=Select\r\n");
        folder.write("german.lng",
                     "[global]\r\nbOk=Weiter\r\nbCancel=\r\n[fSelectLang]\r\nlCaption=Sprache\r\n");
    }
    test::TempFolder folder;
};

TEST_F(LanguageLoaderTest, KeysResolveThroughTheKeySyntax)
{
    LanguageTexts texts(folder.path());
    texts.reloadCurrent("german.lng", std::string("fSelectLang"));
    const TLanguageLoader& current = texts.CurrentTexts;
    // The same text three ways: section and key, ".key" and "_key" (a component named "__bOk").
    EXPECT_EQ(current.ReadText("GLOBAL", "bOk", true), "Weiter");
    EXPECT_EQ(current.ReadFormText(".bOk"), "Weiter");
    EXPECT_EQ(current.ReadFormText("_bOk"), "Weiter");
    EXPECT_EQ(current.ReadFormText("lCaption"), "Sprache");
    // ".section.key" names its own section; further fields are ignored.
    EXPECT_EQ(current.ReadText("ignored", ".FAUTHFORM.mKeyTip", true), "Press %s");
    EXPECT_EQ(current.ReadText("ignored", ".FAUTHFORM.mKeyTip.extra", true), "Press %s");
    EXPECT_EQ(current.ReadText("ignored", "_FAUTHFORM_mKeyTip", true), "Press %s");
}

TEST_F(LanguageLoaderTest, FallbackOnlyWhenTheTextIsMissing)
{
    LanguageTexts texts(folder.path());
    texts.reloadCurrent("german.lng");
    EXPECT_EQ(texts.GetText("GLOBAL", "bCancel"), ""); // empty is not missing
    EXPECT_EQ(texts.GetText("GLOBAL", "mTwo"), "first\r\nsecond");
    EXPECT_EQ(texts.CurrentTexts.ReadText("GLOBAL", "mTwo", false), "no-value");
    EXPECT_EQ(texts.GetText("GLOBAL", "nowhere"), "no-value");
    EXPECT_EQ(texts.CurrentTexts.ReadFormText("bOk"), "-error-");

    texts.reloadCurrent("deleted.lng");
    EXPECT_EQ(texts.GetText("GLOBAL", "bOk"), "OK");
    texts.reloadCurrent("");
    EXPECT_EQ(texts.GetText("GLOBAL", "bOk"), "OK");
}

TEST_F(LanguageLoaderTest, WithoutAFileEveryTextIsMissing)
{
    TLanguageLoader loader;
    EXPECT_FALSE(loader.hasIni());
    EXPECT_EQ(loader.ReadText("GLOBAL", "bOk", true), "no-value");
    test::TempFolder empty;
    LanguageTexts texts(empty.path());
    texts.reloadCurrent("english.lng");
    EXPECT_EQ(texts.GetText("GLOBAL", "bOk"), "no-value");
}

} // namespace
} // namespace tern
