#include "clipboard/BitmapFile.h"
#include "support/NumberedBitmap.h"
#include "support/TempFolder.h"
#include "util/Errors.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

namespace tern {
namespace {

using platform::Bitmap;

void putU32(std::string& file, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[offset + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

TEST(BitmapFile, RoundTripsEveryRowPadding)
{
    // Widths 1 to 4 cover every amount of row padding of 24-bit rows.
    for (const auto& [width, height] : {std::pair{1, 1}, {2, 3}, {3, 2}, {4, 5}, {17, 9}}) {
        const Bitmap bitmap = test::NumberedBitmap(width, height);
        const std::string file = EncodeBmp(bitmap);
        EXPECT_EQ(file.size(), 54 + static_cast<std::size_t>((width * 3 + 3) / 4 * 4 * height));
        const Bitmap back = DecodeBmp(file);
        EXPECT_EQ(back.width, width);
        EXPECT_EQ(back.height, height);
        EXPECT_EQ(back.rgb, bitmap.rgb) << width << "x" << height;
    }
}

TEST(BitmapFile, StoresRowsBottomUpAsBlueGreenRed)
{
    const Bitmap bitmap{1, 2, {1, 2, 3, 4, 5, 6}};
    const std::string file = EncodeBmp(bitmap);
    ASSERT_EQ(file.substr(0, 2), "BM");
    // The bottom row comes first; each pixel is stored blue, green, red, each row padded to 4 bytes.
    EXPECT_EQ(file.substr(54), std::string("\x06\x05\x04\x00\x03\x02\x01\x00", 8));
}

TEST(BitmapFile, ReadsTopDown32BitPictures)
{
    std::string file = EncodeBmp(Bitmap{2, 1, {0, 0, 0, 0, 0, 0}});
    putU32(file, 22, static_cast<std::uint32_t>(-2)); // two rows, top-down
    file[28] = 32;
    file.resize(54);
    file += std::string("\x03\x02\x01\xFF\x06\x05\x04\xFF"
                        "\x09\x08\x07\xFF\x0C\x0B\x0A\xFF",
                        16);
    const Bitmap bitmap = DecodeBmp(file);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.rgb, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(BitmapFile, RefusesForeignTruncatedAndForgedFiles)
{
    const std::string good = EncodeBmp(test::NumberedBitmap(5, 4));
    auto with = [&good](std::initializer_list<std::pair<std::size_t, std::uint32_t>> fields) {
        std::string file = good;
        for (const auto& [offset, value] : fields)
            putU32(file, offset, value);
        return file;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"a GIF", "GIF89a" + std::string(60, '\0')},
        {"header only", good.substr(0, 54)},
        {"one byte short", good.substr(0, good.size() - 1)},
        {"zero width", with({{18, 0}})},
        {"negative width", with({{18, static_cast<std::uint32_t>(-5)}})},
        {"more pixels than any desktop", with({{18, 60000}, {22, 60000}})},
        {"pixels beyond the end", with({{10, static_cast<std::uint32_t>(good.size())}})},
        {"pixels inside the header", with({{10, 20}})},
        {"16 bits a pixel", with({{28, 16}})},
        {"run-length compressed", with({{30, 1}})},
        {"header size beyond the file", with({{14, 0xFFFFFF00}})},
    };
    for (const auto& [what, file] : cases) {
        EXPECT_THROW(DecodeBmp(file), StreamReadError) << what;
    }
}

TEST(BitmapFile, SavesForTheOwnerOnlyAndLoadsBack)
{
    test::TempFolder folder;
    const std::string path = folder.path() + "/last_snap.bmp";
    const Bitmap bitmap = test::NumberedBitmap(7, 3);
    SaveBitmapFile(path, bitmap);
#ifndef _WIN32
    // Windows files carry no POSIX mode: there the user's profile folder keeps them private.
    struct stat info
    {
    };
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600);
#endif
    EXPECT_EQ(LoadBitmapFile(path).rgb, bitmap.rgb);
    EXPECT_THROW(LoadBitmapFile(folder.path() + "/missing.bmp"), FileError);
    EXPECT_THROW(SaveBitmapFile(path, Bitmap{}), Error);
}

} // namespace
} // namespace tern
