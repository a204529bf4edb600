#pragma once

#include "service/ServiceProtocol.h"

namespace tern {

class Notifier;
class TLoader;

// Starts a version check: `manual` (the Check for update command) reports every outcome through
// ReportCheckResult; otherwise (start-up) the check runs only when automatic checks are on and the
// last check is more than seven days away, and reports through ReportNewerVersion. Either way the
// last-check date becomes now. The report runs later on the GUI thread through `notifier`, which
// must outlive the loader; a report whose loader has been destroyed in the meantime is dropped. GUI
// thread only.
void CheckForUpdates(TLoader& loader, Notifier& notifier, bool manual);

// The manual check's report, inside the loader's modal bracket: "up to date", "newer version" (as
// ReportNewerVersion) or "the update server could not be reached".
void ReportCheckResult(TLoader& loader, Notifier& notifier, const UpdateCheckResult& result);

// For a newer version only: a warning balloon with the service's message and a Download button
// that opens the download page for the current language.
void ReportNewerVersion(TLoader& loader, Notifier& notifier, const UpdateCheckResult& result);

// The text of the newer-version balloon: `notice`, two line feeds and the service's message, with
// blanks and control characters removed from both ends of the whole.
std::string NewerVersionText(const std::string& notice, const std::string& message);

} // namespace tern
