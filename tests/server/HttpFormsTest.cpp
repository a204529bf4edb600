#include "http/FormEncoding.h"
#include "http/MultipartForm.h"

#include <gtest/gtest.h>

namespace tern::server::test {
namespace {

TEST(FormEncoding, DecodesEscapesPlusesAndKeepsBrokenEscapes)
{
    const struct
    {
        std::string text;
        bool plusIsSpace;
        std::string decoded;
    } cases[] = {
        {"a%40b.c", true, "a@b.c"},
        {"a+b", true, "a b"},
        {"a+b", false, "a+b"},
        {"%zz%4", true, "%zz%4"},
        {"%", true, "%"},
        {"%e2%82%AC", true, "\xe2\x82\xac"},
        {"%00x", true, std::string("\0x", 2)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PercentDecode(c.text, c.plusIsSpace), c.decoded) << c.text;
}

TEST(FormEncoding, ParsesFieldsInOrderSkippingNamelessOnes)
{
    std::multimap<std::string, std::string> params;
    ParseFormFields("email=a%40b.c&&=x&pass&email=second&email=a%40b.c&v=1=2", params);
    EXPECT_EQ(params.count("email"), 2U);
    EXPECT_EQ(params.find("email")->second, "a@b.c");
    EXPECT_EQ(params.find("pass")->second, "");
    EXPECT_EQ(params.find("v")->second, "1=2");
    EXPECT_EQ(params.count(""), 0U);
}

TEST(MultipartForm, BoundaryComesOnlyFromAFormDataType)
{
    const struct
    {
        std::string contentType;
        std::optional<std::string> boundary;
    } cases[] = {
        {"multipart/form-data; boundary=1A2B", "1A2B"},
        {"Multipart/Form-Data;boundary=\"a;b c\"", "a;b c"},
        {"multipart/form-data; charset=x; boundary=z", "z"},
        {"multipart/mixed; boundary=z", std::nullopt},
        {"multipart/form-data", std::nullopt},
        {"multipart/form-data; boundary=", std::nullopt},
        {"multipart/form-data; boundary=" + std::string(71, 'b'), std::nullopt},
        {"application/x-www-form-urlencoded", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto boundary = MultipartBoundary(c.contentType);
        EXPECT_EQ(boundary ? std::optional<std::string>(*boundary) : std::nullopt, c.boundary)
            << c.contentType;
    }
}

TEST(MultipartForm, ReadsPartsAndRefusesBrokenFraming)
{
    const std::string part = "content-disposition: form-data; name=\"data\"; filename=\"clpdata.gif\"\r\n"
                             "Content-Type: Application/octet-string\r\n\r\n";
    const std::string payload("bin\r\n-\0ary--B", 14);
    const std::string good = "--B\r\n" + part + payload +
                             "\r\n--B\r\nContent-Disposition: form-data; name=tp\r\n\r\n1"
                             "\r\n--B--\r\n";
    const auto parts = ParseMultipartForm(good, "B");
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->size(), 2U);
    EXPECT_EQ((*parts)[0].name, "data");
    EXPECT_EQ((*parts)[0].fileName, "clpdata.gif");
    EXPECT_EQ((*parts)[0].content, payload);
    EXPECT_EQ((*parts)[1].name, "tp");
    EXPECT_EQ((*parts)[1].content, "1");

    EXPECT_TRUE(ParseMultipartForm("preamble\r\n--B\r\n" + part + "x\r\n--B--", "B"));
    EXPECT_TRUE(ParseMultipartForm("--B--", "B"));

    std::string tooMany;
    for (std::size_t i = 0; i <= kMaxFormParts; ++i)
        tooMany += "--B\r\nContent-Disposition: form-data; name=p\r\n\r\n\r\n";
    const std::string broken[] = {
        "",
        "--B\r\n" + part + "no closing delimiter",
        "--B\r\n" + part + "x\r\n--C--",
        "--B\r\nContent-Type: text/plain\r\n\r\nx\r\n--B--", // no name
        "--B\r\nContent-Disposition: attachment; name=a\r\n\r\nx\r\n--B--",
        "--B\r\n\r\nx\r\n--B--",          // no header at all
        "--Bx\r\n" + part + "x\r\n--B--", // junk after the delimiter
        "--B\r\nContent-Disposition: form-data; name=a" + std::string(9000, ' ') + "\r\n\r\nx\r\n--B--",
        "--B\r\nno colon\r\n\r\nx\r\n--B--",
        tooMany + "--B--",
    };
    for (const std::string& body : broken)
        EXPECT_FALSE(ParseMultipartForm(body, "B")) << body.substr(0, 60);
    EXPECT_FALSE(ParseMultipartForm(good, ""));
}

} // namespace
} // namespace tern::server::test
