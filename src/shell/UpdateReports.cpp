#include "shell/UpdateReports.h"

#include "notify/Notifier.h"
#include "platform/ShellRoutines.h"
#include "service/TransferErrors.h"
#include "shell/Loader.h"
#include "util/DateTime.h"
#include "util/TextRoutines.h"

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace tern {

namespace {

using Report = void (*)(TLoader&, Notifier&, const UpdateCheckResult&);

// The checker calls its result callback on its own thread; the report must run on the GUI thread
// and only while the loader lives. The callback owns a context object (created here, on the GUI
// thread) and posts the report to it. The callback, and with it the context, is destroyed on the
// GUI thread when the loader's service client frees the checker, at the latest in the loader's
// destructor; Qt drops the events posted to a destroyed object, so a pending report never reaches
// a destroyed loader.
TUpdateChecker::ResultCallback onGuiThread(TLoader& loader, Notifier& notifier,
                                           const std::shared_ptr<QObject>& context, Report report)
{
    return [&loader, &notifier, context, report](const UpdateCheckResult& result) {
        QMetaObject::invokeMethod(
            context.get(), [&loader, &notifier, report, result] { report(loader, notifier, result); },
            Qt::QueuedConnection);
    };
}

bool isBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::string NewerVersionText(const std::string& notice, const std::string& message)
{
    const std::string text = notice + "\n\n" + message;
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlankOrControl(text[first]))
        ++first;
    while (last > first && isBlankOrControl(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

void CheckForUpdates(TLoader& loader, Notifier& notifier, bool manual)
{
    const auto context = std::make_shared<QObject>();
    loader.service().CheckForUpdates(manual, CurrentDateTime(),
                                     onGuiThread(loader, notifier, context, &ReportCheckResult),
                                     onGuiThread(loader, notifier, context, &ReportNewerVersion));
}

namespace {

// The update check's connection-problem text with what went wrong, named as the commands name it.
std::string checkFailureText(TLoader& loader, const UpdateCheckResult& result)
{
    HttpReply reply;
    reply.failure = result.failure;
    reply.status = result.status;
    // Appended, never formatted: a "%" in a translation cannot break the report.
    return SubstituteArgument(loader.GetText("GLOBAL", "mConProblem"), loader.conf().ServiceHost) + " (" +
           TransferFailureName(reply) + ")";
}

} // namespace

void ReportCheckResult(TLoader& loader, Notifier& notifier, const UpdateCheckResult& result)
{
    const ModalScope modal(loader);
    if (result.outcome == kUpdateUpToDate)
        notifier.notify(loader.GetText("GLOBAL", "mVerUpToDate"), 20, BalloonKind::Information);
    else if (result.outcome == kUpdateOutdated)
        ReportNewerVersion(loader, notifier, result);
    else
        notifier.notify(checkFailureText(loader, result), 20, BalloonKind::Error);
}

void ReportNewerVersion(TLoader& loader, Notifier& notifier, const UpdateCheckResult& result)
{
    if (result.outcome != kUpdateOutdated)
        return;
    // The notifier, the shell and the message boxes outlive the loader, and the address does not change while
    // the balloon shows (choosing a language opens a dialog, which closes the balloon), so the
    // button keeps no reference to the loader.
    ShellServices& services = loader.services();
    platform::DesktopShell* shell = &services.shell;
    platform::MessageBoxes* boxes = &services.messageBoxes;
    const std::string address = loader.service().downloadPageUrl();

    Notifier* shown = &notifier;
    notifier.notify(NewerVersionText(loader.GetText("GLOBAL", "mVerObsolete"), result.message), 30,
                    BalloonKind::Warning,
                    {{loader.GetText("GLOBAL", "bDownload"), [shown, shell, boxes, address] {
                          shown->hideNotice();
                          OpenTarget(*shell, boxes, address, true);
                      }}});
}

} // namespace tern
