#include "platform/StandardStreams.h"

namespace {

// A test program's list of tests is read line by line by ctest's test discovery, which takes a CR
// before the line feed (Windows text mode) as part of a suite's name: the streams carry bytes as
// written, before main() prints anything.
[[maybe_unused]] const bool binaryStreams = [] {
    tern::platform::UseBinaryStandardStreams();
    return true;
}();

} // namespace
