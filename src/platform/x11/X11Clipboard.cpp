#include "platform/x11/X11Clipboard.h"

#include "clipboard/CrossSystemFormats.h"
#include "clipboard/FormatNameTable.h"
#include "clipboard/MimeFormatTable.h"
#include "platform/qt/QtBitmap.h"
#include "util/Errors.h"
#include "util/TextEncoding.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

namespace tern::platform::x11 {

namespace {

const char* const kCannotOpen = "Cannot open clipboard";

QClipboard* systemClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        throw Error(kCannotOpen);
    return clipboard;
}

// The text targets that stand for format 13; every other text alias is left out.
bool isTextTarget(const QString& target)
{
    QString normal = target.toLower();
    normal.remove(QLatin1Char(' '));
    return normal == QLatin1String("text/plain;charset=utf-8") || normal == QLatin1String("text/plain") ||
           target == QLatin1String("UTF8_STRING");
}

// The X11 bookkeeping targets and the legacy text targets, which the text format already carries.
bool isBookkeepingTarget(const QString& target)
{
    static const QStringList kTargets = {
        QStringLiteral("TARGETS"),      QStringLiteral("TIMESTAMP"),     QStringLiteral("MULTIPLE"),
        QStringLiteral("SAVE_TARGETS"), QStringLiteral("DELETE"),        QStringLiteral("STRING"),
        QStringLiteral("TEXT"),         QStringLiteral("COMPOUND_TEXT"), QStringLiteral("UTF8_STRING")};
    return kTargets.contains(target) || target.startsWith(QLatin1String("text/plain"), Qt::CaseInsensitive);
}

// The picture types stand for format 2: those a picture is offered as again on restore (Qt writes
// them from the picture), and Qt's own picture type. Other image types (SVG, GIF) travel as bytes.
bool isImageTarget(const QString& target)
{
    static const QList<QByteArray> kWritten = QImageWriter::supportedMimeTypes();
    return target == QLatin1String("application/x-qt-image") ||
           (target.startsWith(QLatin1String("image/"), Qt::CaseInsensitive) &&
            kWritten.contains(target.toLower().toLatin1()));
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

std::optional<std::string_view> ownName(std::uint32_t format)
{
    const std::vector<std::string>& names = ownNames();
    if (format < kFirstOwnFormat || format - kFirstOwnFormat >= names.size())
        return std::nullopt;
    return names[format - kFirstOwnFormat];
}

// The text as UTF-16LE code units followed by a zero unit.
std::string toUtf16LeWithZero(const QString& text)
{
    return Utf16LeBytes(text.toStdU16String() + u'\0');
}

// The UTF-16LE text up to its first zero unit (or the whole data when there is none); a trailing odd
// byte is no code unit and is dropped.
QString fromUtf16LeUpToZero(const std::string& bytes)
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

// An X11 target name of ours is a MIME type (type/subtype): never a Windows name, an X11 protocol
// target or anything else a snapshot may name.
bool isTargetName(std::string_view name)
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

// Makes `mimeData` the content of the CLIPBOARD selection; the clipboard owns it from here on.
void putOnClipboard(std::unique_ptr<QMimeData> mimeData)
{
    QClipboard* clipboard = systemClipboard();
    const QMimeData* offered = mimeData.get();
    clipboard->setMimeData(mimeData.release(), QClipboard::Clipboard);
    // The selection owner is asked again: another client may have refused us the selection.
    if (clipboard->mimeData(QClipboard::Clipboard) != offered)
        throw Error(kCannotOpen);
}

} // namespace

X11Clipboard::X11Clipboard()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        throw Error(kCannotOpen);
    m_changed = QObject::connect(systemClipboard(), &QClipboard::dataChanged, [this] { ++m_sequence; });
}

X11Clipboard::~X11Clipboard()
{
    QObject::disconnect(m_changed);
}

std::optional<std::uint32_t> X11Clipboard::formatOfTarget(std::string_view target)
{
    const QString name = QString::fromUtf8(target.data(), static_cast<qsizetype>(target.size()));
    if (isTextTarget(name))
        return kFormatUnicodeText;
    if (isBookkeepingTarget(name))
        return std::nullopt;
    if (isImageTarget(name))
        return kFormatBitmap;
    if (const std::optional<std::uint32_t> fixed = FormatForMime(target))
        return fixed;
    if (!isTargetName(target))
        return std::nullopt;
    return ownNumber(target);
}

std::string X11Clipboard::formatName(std::uint32_t format)
{
    const std::optional<std::string_view> name = ownName(format);
    return name ? std::string(*name) : std::string();
}

const QMimeData* X11Clipboard::currentData() const
{
    return systemClipboard()->mimeData(QClipboard::Clipboard);
}

std::vector<std::uint32_t> X11Clipboard::formats()
{
    std::vector<std::uint32_t> result;
    const QMimeData* mimeData = currentData();
    if (mimeData == nullptr)
        return result;
    for (const QString& target : mimeData->formats()) {
        const std::optional<std::uint32_t> format = formatOfTarget(target.toStdString());
        if (format && std::find(result.begin(), result.end(), *format) == result.end())
            result.push_back(*format);
    }
    return result;
}

bool X11Clipboard::hasFormat(std::uint32_t format)
{
    const std::vector<std::uint32_t> offered = formats();
    return std::find(offered.begin(), offered.end(), format) != offered.end();
}

std::optional<std::string> X11Clipboard::data(std::uint32_t format)
{
    const QMimeData* mimeData = currentData();
    if (mimeData == nullptr || format == kFormatBitmap)
        return std::nullopt;
    const QStringList offered = mimeData->formats();
    if (format == kFormatUnicodeText) {
        if (std::none_of(offered.begin(), offered.end(), isTextTarget))
            return std::nullopt;
        const QString text = mimeData->text();
        if (text.isEmpty())
            return std::nullopt;
        return toUtf16LeWithZero(text);
    }
    std::optional<std::string_view> mime = MimeForFormat(format);
    if (!mime)
        mime = ownName(format);
    if (!mime)
        return std::nullopt;
    const QString wanted = QString::fromLatin1(mime->data(), static_cast<qsizetype>(mime->size()));
    auto target = std::find(offered.begin(), offered.end(), wanted);
    if (target == offered.end()) {
        target = std::find_if(offered.begin(), offered.end(), [&](const QString& name) {
            return name.compare(wanted, Qt::CaseInsensitive) == 0;
        });
    }
    if (target == offered.end())
        return std::nullopt;
    const QByteArray bytes = mimeData->data(*target);
    if (bytes.isEmpty())
        return std::nullopt;
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<Bitmap> X11Clipboard::bitmap()
{
    const QMimeData* mimeData = currentData();
    if (mimeData == nullptr || !mimeData->hasImage())
        return std::nullopt;
    const QImage picture = qvariant_cast<QImage>(mimeData->imageData());
    if (picture.isNull())
        return std::nullopt;
    return qt::BitmapFromImage(picture);
}

bool X11Clipboard::replace(const std::vector<ClipboardEntry>& entries)
{
    auto mimeData = std::make_unique<QMimeData>();
    bool any = false;
    for (const ClipboardEntry& entry : entries) {
        if (IsWindowsForm(entry)) {
            // Rich text, web pages and files copied on Windows go back in their X11 form.
            const std::optional<LocalFormat> local = LinuxFormOfWindowsEntry(entry, existingPosixFile);
            const std::optional<std::string_view> mime = local ? MimeForFormat(local->format) : std::nullopt;
            if (!mime)
                continue;
            mimeData->setData(QString::fromLatin1(mime->data(), static_cast<qsizetype>(mime->size())),
                              QByteArray(local->bytes.data(), static_cast<qsizetype>(local->bytes.size())));
        } else if (entry.format == kFormatUnicodeText) {
            mimeData->setText(fromUtf16LeUpToZero(textOf(entry)));
        } else if (entry.format == kFormatBitmap) {
            const auto* bitmap = std::get_if<Bitmap>(&entry.data);
            if (bitmap == nullptr)
                throw Error("Invalid clipboard data");
            mimeData->setImageData(qt::ImageFromBitmap(*bitmap));
        } else if (std::optional<std::string_view> mime = MimeForFormat(entry.format);
                   mime || isRestorableName(entry.name)) {
            if (!mime)
                mime = entry.name;
            const std::string& bytes = textOf(entry);
            mimeData->setData(QString::fromLatin1(mime->data(), static_cast<qsizetype>(mime->size())),
                              QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        } else {
            // Any other number (a Windows peer's own formats, a name this system cannot offer) has no
            // X11 type and is left out.
            continue;
        }
        any = true;
    }
    if (!any)
        return false;
    putOnClipboard(std::move(mimeData));
    return true;
}

bool X11Clipboard::isRestorableName(std::string_view name)
{
    if (!isTargetName(name))
        return false;
    // A name stands for itself only where the capture would have kept it as its own format: never for
    // the text, the picture or the X11 bookkeeping targets.
    const QString target = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return !isTextTarget(target) && !isBookkeepingTarget(target) && !isImageTarget(target);
}

void X11Clipboard::setText(const std::string& utf8)
{
    auto mimeData = std::make_unique<QMimeData>();
    mimeData->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    putOnClipboard(std::move(mimeData));
}

std::uint64_t X11Clipboard::sequenceNumber()
{
    return m_sequence;
}

} // namespace tern::platform::x11
