#include "ui/DialogFrame.h"

#include <QDialog>

namespace tern {

void SetFixedDialogFrame(QDialog& dialog, bool minimiseBox)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (minimiseBox)
        flags |= Qt::WindowMinimizeButtonHint;
    dialog.setWindowFlags(flags);
}

} // namespace tern
