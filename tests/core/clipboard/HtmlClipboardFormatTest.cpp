#include "clipboard/HtmlClipboardFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace tern {
namespace {

using namespace std::string_literals;

std::string fragmentOf(const std::string& data)
{
    const std::optional<HtmlFormatOffsets> offsets = ParseHtmlFormat(data);
    if (!offsets)
        return "<no header>";
    return data.substr(offsets->startFragment, offsets->endFragment - offsets->startFragment);
}

TEST(HtmlClipboardFormat, BuildsHeadersWhoseOffsetsFindTheFragment)
{
    struct Case
    {
        const char* name;
        std::string html;
        std::string fragment;
    };
    const Case cases[] = {
        {"bare fragment", "<b>bold</b> text", "<b>bold</b> text"},
        {"document with a body", "<html><head><title>t</title></head><BODY class=x><p>a</p></body></html>",
         "<p>a</p>"},
        {"marks already present", "<html><body><!--StartFragment--><i>x</i><!--EndFragment--></body></html>",
         "<i>x</i>"},
        {"trailing zeros dropped", "<p>z</p>\0\0"s, "<p>z</p>"},
        {"UTF-16 with byte order mark", "\xFF\xFE<\0p\0>\0\xE9\0<\0/\0p\0>\0"s, "<p>\xC3\xA9</p>"},
        {"non-ASCII UTF-8 kept", "<p>\xE2\x82\xAC 5</p>", "<p>\xE2\x82\xAC 5</p>"},
        {"empty", "", ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string data = BuildHtmlFormat(test.html);
        ASSERT_TRUE(data.starts_with("Version:0.9\r\nStartHTML:0000000105\r\n"));
        EXPECT_EQ(data.back(), '\0');
        EXPECT_EQ(fragmentOf(data), test.fragment);
        // The document runs from StartHTML to EndHTML, which stops before the terminating zero.
        const std::optional<std::string> html = HtmlFromHtmlFormat(data);
        ASSERT_TRUE(html.has_value());
        EXPECT_EQ(*html, data.substr(105, data.size() - 106));
        EXPECT_NE(html->find(test.fragment), std::string::npos);
    }
}

TEST(HtmlClipboardFormat, ReadsHeadersOtherProgramsWriteAndRefusesBrokenOnes)
{
    const std::string body = "<html><body><!--StartFragment-->hi<!--EndFragment--></body></html>";
    const auto header = [&](const std::string& lines) { return lines + body; };
    // Offsets computed for a header of exactly 100 bytes.
    const std::string ok = "Version:1.0\nStartHTML:-1\nEndHTML:-1\nStartFragment:132\nEndFragment:134\n";
    std::string padded = ok;
    padded.insert(padded.size() - 1, std::string(100 - ok.size(), ' '));
    const std::string lfOnly = header(padded);
    EXPECT_EQ(fragmentOf(lfOnly), "hi");
    EXPECT_EQ(HtmlFromHtmlFormat(lfOnly), "hi");

    const std::string sourced = "Version:0.9\r\nStartHTML:0000000140\r\nEndHTML:0000000206\r\n"
                                "startfragment:0000000172\r\nendfragment:0000000174\r\n"
                                "SourceURL:https://example.org/a:b\r\n" +
                                body;
    ASSERT_EQ(sourced.find("<html>"), 140U);
    EXPECT_EQ(HtmlFromHtmlFormat(sourced), body);

    const std::vector<std::pair<const char*, std::string>> broken = {
        {"no header", body},
        {"no fragment", "Version:0.9\r\nStartHTML:10\r\nEndHTML:20\r\n" + body},
        {"fragment past the end", "StartFragment:10\r\nEndFragment:99999\r\n" + body},
        {"negative fragment", "StartFragment:-5\r\nEndFragment:10\r\n" + body},
        {"fragment reversed", "StartFragment:40\r\nEndFragment:30\r\n" + body},
        {"document inside the fragment",
         "StartHTML:45\r\nEndHTML:60\r\nStartFragment:40\r\nEndFragment:50\r\n" + body},
        {"not a number", "StartFragment:4x\r\nEndFragment:50\r\n" + body},
        {"overlong number", "StartFragment:99999999999999999999999\r\nEndFragment:50\r\n" + body},
        {"empty", ""},
    };
    for (const auto& [name, data] : broken) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(ParseHtmlFormat(data).has_value());
        EXPECT_FALSE(HtmlFromHtmlFormat(data).has_value());
    }
}

} // namespace
} // namespace tern
