#pragma once

#include <string>

namespace tern {

// What the service operations need from the clipboard object: the snapshot of every format as one
// stream, its restore, and the share payload. GUI thread only. Failures are thrown (the stream
// layer's StreamReadError for a broken snapshot, tern::Error for the clipboard).
class SnapshotClipboard
{
public:
    virtual ~SnapshotClipboard() = default;

    // Captures every format of the clipboard and returns the snapshot stream.
    virtual std::string captureSnapshot() = 0;
    // Reads a snapshot stream and puts every format it holds on the clipboard. Returns false, the
    // clipboard unchanged, when none of its formats can be put there.
    virtual bool restoreSnapshot(const std::string& stream) = 0;
    // The share payload of the current clipboard into `payload`; returns the share kind.
    virtual int SaveShareable(std::string& payload) = 0;
};

} // namespace tern
