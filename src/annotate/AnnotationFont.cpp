#include "annotate/AnnotationFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace tern {

namespace {

QString FindFamily()
{
    QString tahoma = QStringLiteral("Tahoma");
    if (QFontDatabase::families().contains(tahoma, Qt::CaseInsensitive))
        return tahoma;
    const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(kTahomaFile));
    if (id >= 0) {
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            return families.front();
    }
    QFont fallback;
    fallback.setStyleHint(QFont::SansSerif);
    return QFontInfo(fallback).family();
}

} // namespace

QString AnnotationFamily()
{
    static const QString family = FindFamily();
    return family;
}

QFont AnnotationFont(int emPixels)
{
    QFont font(AnnotationFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(emPixels > 0 ? emPixels : 1);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace tern
