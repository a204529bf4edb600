#include "ui/AboutLogo.h"

#include <QPixmap>

namespace tern {

QIcon ProductLogo()
{
    QIcon pictures;
    for (const int size : {16, 32, 48, 64})
        pictures.addPixmap(QPixmap(QStringLiteral(":/logo/logo-%1.png").arg(size)));
    return pictures;
}

} // namespace tern
