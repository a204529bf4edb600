#include "platform/wayland/OfferedContent.h"

#include "platform/qt/MimeClipboardTypes.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QString>

#include <algorithm>

namespace tern::platform::wayland {

namespace {

const char* const kQtImage = "application/x-qt-image";
const std::vector<std::string> kTextTypes = {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING",
                                             "STRING", "TEXT"};

bool isLegacyText(const QString& type)
{
    return type == QLatin1String("STRING") || type == QLatin1String("TEXT");
}

} // namespace

std::vector<std::string> OfferedTypes(const QMimeData& content)
{
    std::vector<std::string> types;
    const auto add = [&types](const std::string& type) {
        if (std::find(types.begin(), types.end(), type) == types.end())
            types.push_back(type);
    };
    for (const QString& format : content.formats()) {
        if (format == QLatin1String(kQtImage)) {
            add("image/png");
            for (const QByteArray& written : QImageWriter::supportedMimeTypes())
                add(written.toStdString());
        } else if (format == QLatin1String("text/plain")) {
            for (const std::string& type : kTextTypes)
                add(type);
        } else {
            add(format.toStdString());
        }
    }
    return types;
}

QByteArray OfferedBytes(const QMimeData& content, const std::string& type)
{
    const QString name = QString::fromStdString(type);
    if (content.hasText() && (qt::IsTextType(name) || isLegacyText(name)))
        return content.text().toUtf8();
    if (content.hasImage() && name.startsWith(QLatin1String("image/"))) {
        const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(name.toLatin1());
        if (!formats.isEmpty()) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            qvariant_cast<QImage>(content.imageData()).save(&buffer, formats.first().constData());
            return bytes;
        }
    }
    return content.data(name);
}

} // namespace tern::platform::wayland
