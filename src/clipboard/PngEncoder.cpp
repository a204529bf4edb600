#include "clipboard/PngEncoder.h"

#include "util/Errors.h"

#include <png.h>

#include <cstring>
#include <new>

namespace tern {

namespace {

// libpng reports errors by a longjmp to the setjmp in writePng, which holds only trivial locals; the
// objects that own library state live in EncodePng.
struct Writer
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string* out = nullptr;
    char message[200] = {};

    ~Writer() { png_destroy_write_struct(&png, &info); }
};

void onError(png_structp png, png_const_charp message)
{
    auto* writer = static_cast<Writer*>(png_get_error_ptr(png));
    std::strncpy(writer->message, message ? message : "unknown error", sizeof writer->message - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* writer = static_cast<Writer*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        writer->out->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    if (!stored)
        png_error(png, "out of memory");
}

void onFlush(png_structp) {}

bool writePng(Writer& writer, const platform::Bitmap& bitmap)
{
    if (setjmp(png_jmpbuf(writer.png)))
        return false;
    png_set_write_fn(writer.png, &writer, onWrite, onFlush);
    png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(bitmap.width),
                 static_cast<png_uint_32>(bitmap.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(writer.png, kPngDeflateLevel);
    png_set_filter(writer.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    // Each image data chunk carries at most one compression buffer.
    png_set_compression_buffer_size(writer.png, kPngMaxIdatSize);
    png_write_info(writer.png, writer.info);
    const std::size_t stride = static_cast<std::size_t>(bitmap.width) * 3;
    for (int row = 0; row < bitmap.height; ++row)
        png_write_row(writer.png, bitmap.rgb.data() + static_cast<std::size_t>(row) * stride);
    png_write_end(writer.png, writer.info);
    return true;
}

} // namespace

std::string EncodePng(const platform::Bitmap& bitmap)
{
    if (bitmap.empty() || bitmap.rgb.size() != static_cast<std::size_t>(bitmap.width) *
                                                   static_cast<std::size_t>(bitmap.height) * 3)
        throw Error("Cannot encode the picture as PNG: invalid bitmap");
    std::string out;
    out.reserve(bitmap.rgb.size() / 4 + 1024);
    Writer writer;
    writer.out = &out;
    writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer, onError, onWarning);
    if (!writer.png)
        throw std::bad_alloc();
    writer.info = png_create_info_struct(writer.png);
    if (!writer.info)
        throw std::bad_alloc();
    if (!writePng(writer, bitmap))
        throw Error(std::string("Cannot encode the picture as PNG: ") + writer.message);
    return out;
}

} // namespace tern
