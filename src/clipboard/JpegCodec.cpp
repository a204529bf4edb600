#include "clipboard/JpegCodec.h"

#include "util/Errors.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <limits>
#include <new>

namespace tern {

namespace {

// libjpeg reports errors through error_exit, which must not return: it jumps back to the setjmp of
// the step that called into the library. The functions that call setjmp hold only trivial locals,
// so the jump skips no destructor; the objects that own library state live in the callers.
struct ErrorManager
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

void onOutputMessage(j_common_ptr) {}

// A file that ends before its picture does is an error, not a picture padded with grey; other
// warnings are counted as the library does.
void onEmitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    if (info->err->msg_code == JWRN_JPEG_EOF)
        onError(info);
    ++info->err->num_warnings;
}

void initErrors(ErrorManager& error)
{
    jpeg_std_error(&error.manager);
    error.manager.error_exit = onError;
    error.manager.emit_message = onEmitMessage;
    error.manager.output_message = onOutputMessage;
    error.message[0] = '\0';
}

[[noreturn]] void failWith(const char* what, const ErrorManager& error)
{
    throw Error(std::string(what) + ": " + error.message);
}

// ---- encoding

// Output destination growing a malloc'ed buffer; on exhaustion it reports through error_exit.
struct Destination
{
    jpeg_destination_mgr manager;
    unsigned char* buffer = nullptr;
    std::size_t capacity = 0;
    std::size_t size = 0;
};

void initDestination(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = dest->capacity;
}

boolean emptyDestination(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    const std::size_t used = dest->capacity;
    const std::size_t grown = dest->capacity * 2;
    auto* buffer = static_cast<unsigned char*>(std::realloc(dest->buffer, grown));
    if (!buffer) {
        info->err->msg_code = JERR_OUT_OF_MEMORY;
        (*info->err->error_exit)(reinterpret_cast<j_common_ptr>(info));
    }
    dest->buffer = buffer;
    dest->capacity = grown;
    dest->manager.next_output_byte = buffer + used;
    dest->manager.free_in_buffer = grown - used;
    return TRUE;
}

void termDestination(j_compress_ptr info)
{
    auto* dest = reinterpret_cast<Destination*>(info->dest);
    dest->size = dest->capacity - dest->manager.free_in_buffer;
}

struct Encoder
{
    jpeg_compress_struct info{};
    ErrorManager error{};
    Destination dest{};
    bool created = false;

    ~Encoder()
    {
        if (created)
            jpeg_destroy_compress(&info);
        std::free(dest.buffer);
    }
};

enum class Encoded { Complete, GaveUp, Failed };

Encoded runEncoder(Encoder& encoder, const platform::Bitmap& bitmap, int quality,
                   const std::atomic<std::size_t>* giveUpAt)
{
    if (setjmp(encoder.error.jump))
        return Encoded::Failed;
    jpeg_create_compress(&encoder.info);
    encoder.created = true;
    encoder.dest.manager.init_destination = initDestination;
    encoder.dest.manager.empty_output_buffer = emptyDestination;
    encoder.dest.manager.term_destination = termDestination;
    encoder.info.dest = &encoder.dest.manager;
    encoder.info.image_width = static_cast<JDIMENSION>(bitmap.width);
    encoder.info.image_height = static_cast<JDIMENSION>(bitmap.height);
    encoder.info.input_components = 3;
    encoder.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&encoder.info);
    jpeg_set_quality(&encoder.info, quality, TRUE);
    jpeg_start_compress(&encoder.info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(bitmap.width) * 3;
    JSAMPROW rows[32];
    while (encoder.info.next_scanline < encoder.info.image_height) {
        const JDIMENSION first = encoder.info.next_scanline;
        JDIMENSION count = 0;
        while (count < 32 && first + count < encoder.info.image_height) {
            rows[count] = const_cast<JSAMPROW>(bitmap.rgb.data() + (first + count) * stride);
            ++count;
        }
        jpeg_write_scanlines(&encoder.info, rows, count);
        const auto written =
            static_cast<std::size_t>(encoder.dest.manager.next_output_byte - encoder.dest.buffer);
        if (giveUpAt && written >= giveUpAt->load(std::memory_order_relaxed))
            return Encoded::GaveUp;
    }
    jpeg_finish_compress(&encoder.info);
    const auto written =
        static_cast<std::size_t>(encoder.dest.manager.next_output_byte - encoder.dest.buffer);
    if (giveUpAt && written >= giveUpAt->load(std::memory_order_relaxed))
        return Encoded::GaveUp;
    return Encoded::Complete;
}

// ---- decoding

struct Decoder
{
    jpeg_decompress_struct info{};
    ErrorManager error{};
    bool created = false;

    ~Decoder()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

bool readHeader(Decoder& decoder, const unsigned char* data, unsigned long size,
                std::uint64_t maxWorkingBytes)
{
    if (setjmp(decoder.error.jump))
        return false;
    jpeg_create_decompress(&decoder.info);
    decoder.created = true;
    // Past this the decoder asks for a backing store, which it has none of: the decoding fails
    // instead of allocating.
    decoder.info.mem->max_memory_to_use =
        static_cast<long>(std::min<std::uint64_t>(maxWorkingBytes, std::numeric_limits<long>::max()));
    jpeg_mem_src(&decoder.info, data, size);
    jpeg_read_header(&decoder.info, TRUE);
    decoder.info.out_color_space = JCS_RGB;
    return true;
}

bool startDecoding(Decoder& decoder)
{
    if (setjmp(decoder.error.jump))
        return false;
    jpeg_start_decompress(&decoder.info);
    return true;
}

bool readRows(Decoder& decoder, unsigned char* pixels, std::size_t stride)
{
    if (setjmp(decoder.error.jump))
        return false;
    JSAMPROW rows[32];
    while (decoder.info.output_scanline < decoder.info.output_height) {
        const JDIMENSION first = decoder.info.output_scanline;
        JDIMENSION count = 0;
        while (count < 32 && first + count < decoder.info.output_height) {
            rows[count] = pixels + (first + count) * stride;
            ++count;
        }
        jpeg_read_scanlines(&decoder.info, rows, count);
    }
    jpeg_finish_decompress(&decoder.info);
    return true;
}

} // namespace

std::string EncodeJpeg(const platform::Bitmap& bitmap, int quality, const std::atomic<std::size_t>* giveUpAt)
{
    if (bitmap.empty() || bitmap.width > JPEG_MAX_DIMENSION || bitmap.height > JPEG_MAX_DIMENSION ||
        bitmap.rgb.size() !=
            static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height) * 3)
        throw Error("Cannot encode the picture as JPEG: invalid bitmap");
    Encoder encoder;
    initErrors(encoder.error);
    encoder.info.err = &encoder.error.manager;
    encoder.dest.capacity = bitmap.rgb.size() / 8 + 65536;
    encoder.dest.buffer = static_cast<unsigned char*>(std::malloc(encoder.dest.capacity));
    if (!encoder.dest.buffer)
        throw std::bad_alloc();
    const Encoded result = runEncoder(encoder, bitmap, quality, giveUpAt);
    if (result == Encoded::Failed)
        failWith("Cannot encode the picture as JPEG", encoder.error);
    if (result == Encoded::GaveUp)
        return {};
    return std::string(reinterpret_cast<const char*>(encoder.dest.buffer), encoder.dest.size);
}

platform::Bitmap DecodeJpeg(std::string_view file, std::uint64_t maxPixels, std::uint64_t maxWorkingBytes)
{
    Decoder decoder;
    initErrors(decoder.error);
    decoder.info.err = &decoder.error.manager;
    if (file.empty())
        throw Error("Cannot decode the picture: empty JPEG file");
    if (!readHeader(decoder, reinterpret_cast<const unsigned char*>(file.data()),
                    static_cast<unsigned long>(file.size()), maxWorkingBytes))
        failWith("Cannot decode the picture", decoder.error);
    const std::uint64_t pixels = std::uint64_t{decoder.info.image_width} * decoder.info.image_height;
    if (pixels == 0 || pixels > maxPixels)
        throw Error("Cannot decode the picture: it is too large");
    if (!startDecoding(decoder))
        failWith("Cannot decode the picture", decoder.error);
    if (decoder.info.output_components != 3)
        throw Error("Cannot decode the picture: unsupported colour format");
    platform::Bitmap bitmap;
    bitmap.width = static_cast<int>(decoder.info.output_width);
    bitmap.height = static_cast<int>(decoder.info.output_height);
    const std::size_t stride = static_cast<std::size_t>(bitmap.width) * 3;
    bitmap.rgb.resize(stride * static_cast<std::size_t>(bitmap.height));
    if (!readRows(decoder, bitmap.rgb.data(), stride))
        failWith("Cannot decode the picture", decoder.error);
    return bitmap;
}

} // namespace tern
