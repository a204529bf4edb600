#include "WaylandTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace tern::test {

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        // Serves events as they come (our compositor connection's among them) for a short slice.
        QEventLoop slice;
        QTimer::singleShot(10, &slice, &QEventLoop::quit);
        slice.exec();
    }
    return true;
}

std::optional<QByteArray> RunTool(const QString& program, const QStringList& arguments,
                                  const QByteArray& input, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return std::nullopt;
    process.write(input);
    process.closeWriteChannel();
    QByteArray output;
    const bool ended = WaitUntil(
        [&] {
            output += process.readAllStandardOutput();
            return process.state() == QProcess::NotRunning;
        },
        timeoutMs);
    output += process.readAllStandardOutput();
    if (!ended) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return output;
}

SelectionOwner::SelectionOwner(const QString& type, const QByteArray& bytes)
{
    m_process.start(QStringLiteral("wl-copy"),
                    {QStringLiteral("--foreground"), QStringLiteral("--type"), type});
    m_process.waitForStarted(5000);
    m_process.write(bytes);
    m_process.closeWriteChannel();
}

SelectionOwner::~SelectionOwner()
{
    m_process.kill();
    m_process.waitForFinished(2000);
}

TestWindow::TestWindow(const QString& title, const QString& colour)
{
    QStringList arguments = {title};
    if (!colour.isEmpty())
        arguments << colour;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TERN_BIN_DIR "/tern_wayland_test_window"), arguments);
    m_process.waitForStarted(5000);
}

TestWindow::~TestWindow()
{
    m_process.kill();
    m_process.waitForFinished(2000);
}

bool TestWindow::waitForLine(const QString& line, int times, int timeoutMs)
{
    return WaitUntil(
        [&] {
            while (m_process.canReadLine())
                m_lines << QString::fromUtf8(m_process.readLine()).chopped(1);
            return m_lines.count(line) >= times;
        },
        timeoutMs);
}

} // namespace tern::test
