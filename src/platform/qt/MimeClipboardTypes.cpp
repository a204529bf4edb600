#include "platform/qt/MimeClipboardTypes.h"

#include "clipboard/CrossSystemFormats.h"
#include "clipboard/FormatNameTable.h"
#include "clipboard/MimeFormatTable.h"
#include "platform/qt/QtBitmap.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <QByteArray>
#include <QImageWriter>
#include <QList>
#include <QMimeData>
#include <QStringList>

#include <algorithm>

#include <sys/stat.h>

namespace tern::platform::qt {

namespace {

// The X11 bookkeeping targets and the legacy text targets, which the text format already carries.
bool isBookkeepingType(const QString& type)
{
    static const QStringList kTargets = {
        QStringLiteral("TARGETS"),      QStringLiteral("TIMESTAMP"),     QStringLiteral("MULTIPLE"),
        QStringLiteral("SAVE_TARGETS"), QStringLiteral("DELETE"),        QStringLiteral("STRING"),
        QStringLiteral("TEXT"),         QStringLiteral("COMPOUND_TEXT"), QStringLiteral("UTF8_STRING")};
    return kTargets.contains(type) || type.startsWith(QLatin1String("text/plain"), Qt::CaseInsensitive);
}

// The types outside the fixed table, numbered in the order this process first meets them.
std::vector<std::string>& ownNames()
{
    static std::vector<std::string> names;
    return names;
}

std::optional<std::uint32_t> ownNumber(std::string_view name)
{
    std::vector<std::string>& names = ownNames();
    const auto found = std::find(names.begin(), names.end(), name);
    if (found != names.end())
        return kFirstOwnFormat + static_cast<std::uint32_t>(found - names.begin());
    if (names.size() > kLastOwnFormat - kFirstOwnFormat)
        return std::nullopt;
    names.emplace_back(name);
    return kFirstOwnFormat + static_cast<std::uint32_t>(names.size() - 1);
}

// A type name of ours is a MIME type (type/subtype): never a Windows name, an X11 protocol target or
// anything else a snapshot may name.
bool isTypeName(std::string_view name)
{
    return IsCarriableFormatName(name) && IsMimeTypeName(name);
}

std::optional<std::string> existingPosixFile(const std::string& path)
{
    struct stat status = {};
    if (path.empty() || path.front() != '/' || ::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return path;
}

const std::string& textOf(const ClipboardEntry& entry)
{
    const auto* text = std::get_if<std::string>(&entry.data);
    if (text == nullptr)
        throw Error("Invalid clipboard data");
    return *text;
}

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray bytesOf(const std::string& bytes)
{
    return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

// Puts the Linux form of an entry copied on Windows (rich text, a web page, files); false when it has
// none. That of rich text and of a web page is a part of the entry's bytes and is copied from there,
// so that the entry and Qt's copy are the only two.
bool putLinuxForm(const ClipboardEntry& entry, QMimeData& mimeData)
{
    if (const std::optional<LocalFormatView> part = LinuxFormInWindowsEntry(entry)) {
        const std::optional<std::string_view> mime = MimeForFormat(part->format);
        if (!mime)
            return false;
        mimeData.setData(latin1(*mime),
                         QByteArray(part->bytes.data(), static_cast<qsizetype>(part->bytes.size())));
        return true;
    }
    const std::optional<LocalFormat> local = LinuxFormOfWindowsEntry(entry, existingPosixFile);
    const std::optional<std::string_view> mime = local ? MimeForFormat(local->format) : std::nullopt;
    if (!mime)
        return false;
    mimeData.setData(latin1(*mime), bytesOf(local->bytes));
    return true;
}

} // namespace

bool IsTextType(const QString& type)
{
    QString normal = type.toLower();
    normal.remove(QLatin1Char(' '));
    return normal == QLatin1String("text/plain;charset=utf-8") || normal == QLatin1String("text/plain") ||
           type == QLatin1String("UTF8_STRING");
}

// Those a picture is offered as again on restore (Qt writes them from the picture), and Qt's own
// picture type. Other image types (SVG, GIF) travel as bytes.
bool IsImageType(const QString& type)
{
    static const QList<QByteArray> kWritten = QImageWriter::supportedMimeTypes();
    return type == QLatin1String("application/x-qt-image") ||
           (type.startsWith(QLatin1String("image/"), Qt::CaseInsensitive) &&
            kWritten.contains(type.toLower().toLatin1()));
}

std::optional<std::uint32_t> FormatOfMimeType(std::string_view type)
{
    const QString name = QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()));
    if (IsTextType(name))
        return kFormatUnicodeText;
    if (isBookkeepingType(name))
        return std::nullopt;
    if (IsImageType(name))
        return kFormatBitmap;
    if (const std::optional<std::uint32_t> fixed = FormatForMime(type))
        return fixed;
    if (!isTypeName(type))
        return std::nullopt;
    return ownNumber(type);
}

std::string OwnFormatName(std::uint32_t format)
{
    const std::vector<std::string>& names = ownNames();
    if (format < kFirstOwnFormat || format - kFirstOwnFormat >= names.size())
        return {};
    return names[format - kFirstOwnFormat];
}

bool IsRestorableTypeName(std::string_view name)
{
    if (!isTypeName(name))
        return false;
    const QString type = latin1(name);
    return !IsTextType(type) && !isBookkeepingType(type) && !IsImageType(type);
}

std::string Utf16LeWithZero(const QString& text)
{
    return Utf16LeBytes(text.toStdU16String() + u'\0');
}

QString TextOfUtf16Le(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

std::unique_ptr<QMimeData> MimeDataOfEntries(std::vector<ClipboardEntry> entries)
{
    auto mimeData = std::make_unique<QMimeData>();
    bool any = false;
    for (ClipboardEntry& entry : entries) {
        if (IsWindowsForm(entry)) {
            if (!putLinuxForm(entry, *mimeData))
                continue;
        } else if (entry.format == kFormatUnicodeText) {
            mimeData->setText(TextOfUtf16Le(textOf(entry)));
        } else if (entry.format == kFormatBitmap) {
            const auto* bitmap = std::get_if<Bitmap>(&entry.data);
            if (bitmap == nullptr)
                throw Error("Invalid clipboard data");
            mimeData->setImageData(ImageFromBitmap(*bitmap));
        } else if (std::optional<std::string_view> mime = MimeForFormat(entry.format);
                   mime || IsRestorableTypeName(entry.name)) {
            mimeData->setData(latin1(mime ? *mime : std::string_view(entry.name)), bytesOf(textOf(entry)));
        } else {
            // Any other number (a Windows peer's own formats, a name this system cannot offer) has no
            // MIME type and is left out.
            continue;
        }
        ReleaseEntryData(entry);
        any = true;
    }
    if (!any)
        return nullptr;
    return mimeData;
}

} // namespace tern::platform::qt
