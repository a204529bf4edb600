#include "DialogScreenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

namespace tern::test {

std::string SaveScreenshot(QWidget& widget, const std::string& fileName)
{
    const QString folder = qEnvironmentVariable("TERN_ARTIFACTS_DIR");
    if (folder.isEmpty())
        return {};
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QString::fromStdString(fileName));
    EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
    return path.toStdString();
}

} // namespace tern::test
