#include "platform/x11/X11Clipboard.h"

#include "clipboard/MimeFormatTable.h"
#include "platform/qt/MimeClipboardTypes.h"
#include "platform/qt/QtBitmap.h"
#include "util/Errors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>

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
    return qt::FormatOfMimeType(target);
}

std::string X11Clipboard::formatName(std::uint32_t format)
{
    return qt::OwnFormatName(format);
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
        if (std::none_of(offered.begin(), offered.end(), qt::IsTextType))
            return std::nullopt;
        const QString text = mimeData->text();
        if (text.isEmpty())
            return std::nullopt;
        return qt::Utf16LeWithZero(text);
    }
    const std::optional<std::string_view> fixed = MimeForFormat(format);
    const std::string mime = fixed ? std::string(*fixed) : qt::OwnFormatName(format);
    if (mime.empty())
        return std::nullopt;
    const QString wanted = QString::fromLatin1(mime.data(), static_cast<qsizetype>(mime.size()));
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

bool X11Clipboard::replace(std::vector<ClipboardEntry> entries)
{
    std::unique_ptr<QMimeData> mimeData = qt::MimeDataOfEntries(std::move(entries));
    if (!mimeData)
        return false;
    putOnClipboard(std::move(mimeData));
    return true;
}

bool X11Clipboard::isRestorableName(std::string_view name)
{
    return qt::IsRestorableTypeName(name);
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
