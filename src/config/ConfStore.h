#pragma once

#include "lang/LangModule.h"
#include "platform/DesktopShell.h"
#include "platform/SettingsBackend.h"
#include "util/DateTime.h"
#include "util/ProductName.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace tern {

// Every persistent setting, in memory. Loads when created, saves when asked and when destroyed.
// Fields are read and written directly; nothing is validated here. GUI thread only.
//
// Other programs (the command-line tool) may change the settings file while this store lives. A save
// therefore writes this program's own changes over the file as it stands then, and keeps every value
// that only the other program changed; Refresh() takes such values in before the next save.
class TConfStore
{
public:
    static constexpr std::uint16_t kDefaultMainKey = 24665; // Ctrl+Shift+Y
    static constexpr const char* kDefaultServiceHost = "http://127.0.0.1:8077";
    static constexpr const char* kStartupEntryName = kProductName;

    // Lists the languages of `languagesFolders`, then loads every setting from `settings`.
    TConfStore(platform::SettingsBackend& settings, platform::DesktopShell& shell,
               const LanguageFolders& languagesFolders);
    // Saves (unless SaveOnDestroy was cleared); a failure to save is swallowed here because a
    // destructor cannot report it.
    ~TConfStore();

    TConfStore(const TConfStore&) = delete;
    TConfStore& operator=(const TConfStore&) = delete;

    void Load();
    // Writes every setting and brings the start-up entry in line with StartWithWindows: the values
    // changed in memory since the last load or save, merged with the file as it stands now. Errors of
    // the settings file or the start-up entry reach the caller.
    void Save();
    // Takes in the values that others changed in the settings file since this store last read or
    // wrote it. A value this program changed in memory meanwhile is kept for the next Save.
    void Refresh();

    std::string Login;
    std::string Password;
    // The end-to-end passphrase (empty: none). Kept like the password value and never sent.
    std::string EndToEndKey;
    bool CheckUpdates = true;
    std::uint16_t MainKey = kDefaultMainKey;
    std::int32_t CurColor = 0;
    std::int32_t CurLine = 1;
    std::int32_t CurFont = 1;
    bool DisableRemote = false;
    bool StartWithWindows = false;
    std::unique_ptr<TLangModule> LangModule;
    DateTime CheckDate = 0;
    // Where the web service and its download pages are reached.
    std::string ServiceHost = kDefaultServiceHost;
    std::string DownloadHost = kDefaultServiceHost;
    // A PEM file of the certificates trusted for https addresses instead of the system's store (for a
    // service with its own certificate authority); empty = the system's store.
    std::string CaFile;

    // Cleared by read-only users (command-line queries) that must not write the settings back.
    bool SaveOnDestroy = true;

private:
    // Remembers the stored form of every value as it now stands in memory and in the file.
    void markInStep();

    platform::SettingsBackend& m_settings;
    platform::DesktopShell& m_shell;
    // The stored form of every value kept in the settings file, as last read or written, by name.
    std::map<std::string, std::string> m_inStep;
};

} // namespace tern
