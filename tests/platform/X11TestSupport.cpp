#include "X11TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace tern::test {

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    // The tick wakes the blocking event wait so that the condition and the deadline are checked often.
    QTimer tick;
    tick.start(10);
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

XclipOwner::XclipOwner(const QString& target, const std::string& file)
{
    m_process.setProgram(QStringLiteral("xclip"));
    m_process.setArguments({QStringLiteral("-quiet"), QStringLiteral("-selection"),
                            QStringLiteral("clipboard"), QStringLiteral("-t"), target, QStringLiteral("-i"),
                            QString::fromStdString(file)});
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start();
    m_process.waitForStarted(5000);
}

XclipOwner::~XclipOwner()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

std::optional<QByteArray> ReadClipboardTarget(const QString& target)
{
    QProcess reader;
    reader.start(QStringLiteral("timeout"),
                 {QStringLiteral("5"), QStringLiteral("xclip"), QStringLiteral("-selection"),
                  QStringLiteral("clipboard"), QStringLiteral("-o"), QStringLiteral("-t"), target});
    if (!reader.waitForStarted(5000))
        return std::nullopt;
    // The reader may be asking this very process: keep its event loop turning until the reader ends.
    if (!WaitUntil([&] { return reader.state() == QProcess::NotRunning; }, 8000)) {
        reader.kill();
        reader.waitForFinished(5000);
        return std::nullopt;
    }
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0)
        return std::nullopt;
    return reader.readAllStandardOutput();
}

QStringList ReadClipboardTargets()
{
    const std::optional<QByteArray> list = ReadClipboardTarget(QStringLiteral("TARGETS"));
    if (!list)
        return {};
    return QString::fromUtf8(*list).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace tern::test
