#pragma once

#include "util/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tern {

// A change of the settings: every member that holds a value is the new value of the setting of that
// name. The settings dialog, the palette, the account requests and `tern config set` all say what
// they change through one of these (TConfStore::Apply), so that the store knows what this program
// changed when it merges a save with the file.
struct ConfChange
{
    std::optional<std::string> Login{};
    std::optional<std::string> Password{};
    std::optional<bool> CheckUpdates{};
    std::optional<std::uint16_t> MainKey{};
    std::optional<std::int32_t> CurColor{};
    std::optional<std::int32_t> CurLine{};
    std::optional<std::int32_t> CurFont{};
    std::optional<bool> DisableRemote{};
    std::optional<bool> StartWithWindows{};
    std::optional<DateTime> CheckDate{};
    std::optional<std::string> ServiceHost{};
    std::optional<std::string> DownloadHost{};
    std::optional<std::string> CaFile{};
    std::optional<std::string> EndToEndKey{};
    // The language choice (see LanguageChoice).
    std::optional<std::string> CurrentLanguage{};
    std::optional<bool> IsLangModified{};
};

} // namespace tern
