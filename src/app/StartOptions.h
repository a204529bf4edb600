#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tern {

// The desktop program's own options are --help and --version (the ones that ask a running copy are in
// RemoteCommandOptions.h). Either one prints its text to `out`
// and ends the program before anything else starts, so a copy that already runs is not disturbed.
// Returns the exit code then; nothing when the program is to run (other arguments are left to the GUI
// toolkit, as they always were).
std::optional<int> AnswerStartOptions(const std::vector<std::string>& args, std::ostream& out);

} // namespace tern
