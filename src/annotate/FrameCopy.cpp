#include "annotate/FrameCopy.h"

#include <QPaintEngine>
#include <QPainter>

#include <cstdint>
#include <cstring>

namespace tern {

namespace {

// Black at alpha 28 over an opaque channel c leaves c * 227 / 255, rounded as the raster engine
// rounds its byte products.
constexpr std::uint16_t kKeep = 255 - 28;

constexpr std::uint8_t dimChannel(std::uint32_t c)
{
    const std::uint32_t t = c * kKeep;
    return static_cast<std::uint8_t>((t + (t >> 8) + 0x80) >> 8);
}

// Four pixels (eight with AVX2) at a time in 16-bit lanes; the alpha byte comes out opaque.
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Words16 = std::uint16_t __attribute__((vector_size(32)));
using Bytes32 = std::uint8_t __attribute__((vector_size(32)));
using Words32 = std::uint16_t __attribute__((vector_size(64)));

// The body of the darkening pass, compiled once for the baseline instruction set and once for AVX2.
template <typename Bytes, typename Words>
inline void dimRowWith(const std::uint8_t* in, std::uint8_t* out, int pixels)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "pixels are read as B, G, R, A bytes");
    Bytes opaque = {};
    for (std::size_t i = 3; i < sizeof(Bytes); i += 4)
        opaque[i] = 0xFF;
    const std::size_t bytes = static_cast<std::size_t>(pixels) * 4;
    std::size_t at = 0;
    for (; at + sizeof(Bytes) <= bytes; at += sizeof(Bytes)) {
        Bytes chunk;
        std::memcpy(&chunk, in + at, sizeof chunk);
        Words t = __builtin_convertvector(chunk, Words) * kKeep;
        t = (t + (t >> 8) + 0x80) >> 8;
        const Bytes dimmed = __builtin_convertvector(t, Bytes) | opaque;
        std::memcpy(out + at, &dimmed, sizeof dimmed);
    }
    for (; at < bytes; at += 4) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, in + at, 4);
        pixel = DimmedPixel(pixel);
        std::memcpy(out + at, &pixel, 4);
    }
}

void dimRowBaseline(const std::uint8_t* in, std::uint8_t* out, int pixels)
{
    dimRowWith<Bytes16, Words16>(in, out, pixels);
}

__attribute__((target("avx2"))) void dimRowAvx2(const std::uint8_t* in, std::uint8_t* out, int pixels)
{
    dimRowWith<Bytes32, Words32>(in, out, pixels);
}

void dimRow(const std::uint8_t* in, std::uint8_t* out, int pixels)
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        dimRowAvx2(in, out, pixels);
    else
        dimRowBaseline(in, out, pixels);
}

void copyRow(const std::uint8_t* in, std::uint8_t* out, int pixels)
{
    std::memcpy(out, in, static_cast<std::size_t>(pixels) * 4);
}

// B, G, R bytes to B, G, R, opaque alpha: four bytes read for each pixel but the last, whose fourth
// byte may lie past the row.
void expandRow(const std::uint8_t* in, std::uint8_t* out, int pixels)
{
    const auto count = static_cast<std::size_t>(pixels);
    for (std::size_t x = 0; x + 1 < count; ++x) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, in + x * 3, 4);
        pixel |= 0xFF000000U;
        std::memcpy(out + x * 4, &pixel, 4);
    }
    if (count > 0) {
        const std::uint8_t* last = in + (count - 1) * 3;
        std::uint8_t* to = out + (count - 1) * 4;
        to[0] = last[0];
        to[1] = last[1];
        to[2] = last[2];
        to[3] = 0xFF;
    }
}

using RowPass = void (*)(const std::uint8_t*, std::uint8_t*, int);

void copyArea(QPainter& painter, const QImage& source, QPoint origin, const QRect& area, RowPass pass)
{
    const QRect from = area & source.rect().translated(origin);
    if (from.isEmpty())
        return;
    if (source.format() == QImage::Format_BGR888 && pass == copyRow)
        pass = expandRow;
    else if (source.format() != QImage::Format_RGB32)
        return;
    const std::size_t sourceBytes = source.format() == QImage::Format_RGB32 ? 4 : 3;
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    const QTransform transform = painter.deviceTransform();
    if (device && device->devType() == QInternal::Image && transform.type() <= QTransform::TxTranslate) {
        auto* target = static_cast<QImage*>(device);
        const QImage::Format format = target->format();
        if ((format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied) &&
            target->devicePixelRatio() == 1.0) {
            const QPoint offset(qRound(transform.dx()), qRound(transform.dy()));
            const QRect to = from.translated(offset) & target->rect();
            const QPoint start = to.topLeft() - offset - origin;
            for (int y = 0; y < to.height(); ++y)
                pass(source.constScanLine(start.y() + y) + static_cast<std::size_t>(start.x()) * sourceBytes,
                     target->scanLine(to.y() + y) + static_cast<std::size_t>(to.x()) * 4, to.width());
            return;
        }
    }
    // Any other device: through a picture of the area alone.
    QImage part(from.size(), QImage::Format_RGB32);
    if (part.isNull())
        return;
    for (int y = 0; y < from.height(); ++y)
        pass(source.constScanLine(from.y() - origin.y() + y) +
                 static_cast<std::size_t>(from.x() - origin.x()) * 4,
             part.scanLine(y), from.width());
    painter.drawImage(from.topLeft(), part);
}

} // namespace

QRgb DimmedPixel(QRgb pixel)
{
    return 0xFF000000U | static_cast<QRgb>(dimChannel(qRed(pixel))) << 16 |
           static_cast<QRgb>(dimChannel(qGreen(pixel))) << 8 | dimChannel(qBlue(pixel));
}

void CopyPixels(QPainter& painter, const QImage& source, QPoint origin, const QRect& area)
{
    copyArea(painter, source, origin, area, copyRow);
}

void CopyDimmedPixels(QPainter& painter, const QImage& source, QPoint origin, const QRect& area)
{
    copyArea(painter, source, origin, area, dimRow);
}

} // namespace tern
