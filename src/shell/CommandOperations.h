#pragma once

#include "service/ServiceClient.h"

#include <string>

namespace tern {

// The operations that the command dispatcher runs, as the loader provides them. Each one reports a
// failure by throwing an error whose text is fit for the user, and shows its own success balloon
// where it has one. GUI thread only; the operations serve events while they wait.
class CommandOperations
{
public:
    virtual ~CommandOperations() = default;

    // The text of `key` in the current language, else in English, else "no-value".
    virtual std::string GetText(const std::string& section, const std::string& key) const = 0;
    // The connection-problem text of the current language, naming the service address it tried.
    virtual std::string ConnectionProblemText() const = 0;
    // Copies the selection of the window in front and uploads the whole clipboard.
    virtual void RemoteCopy() = 0;
    // Downloads the stored clipboard, restores it and pastes it into the window in front.
    virtual void RemotePaste() = 0;
    // Publishes what the clipboard holds and offers its link in a balloon.
    virtual void ShareClipboard() = 0;
    // Capture the screen, the window in front or an annotated area after `delay` seconds and share it.
    virtual void ShareScreen(bool currentWindowOnly, int delay) = 0;
    virtual void ShareArea(int delay) = 0;
    // Shares the picture of an earlier share that failed again.
    virtual void ReshareLastSnapshot() = 0;
    // The program is ending: a capture delay that runs ends, nothing is captured, and every running
    // exchange with the service is aborted.
    virtual void Terminate() = 0;
    // The left-over capture of a share that did not finish.
    virtual std::string LastSnapshotPath() const = 0;
    // What the user sees while an upload runs.
    virtual void setUploadWaitHooks(UploadWaitHooks hooks) = 0;
};

} // namespace tern
