#pragma once

#include "config/ConfChange.h"
#include "config/LanguageChoice.h"
#include "platform/DesktopShell.h"
#include "platform/SettingsBackend.h"
#include "util/DateTime.h"
#include "util/ProductName.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace tern {

// The values of the settings, with their defaults.
struct ConfValues
{
    static constexpr std::uint16_t kDefaultMainKey = 24665; // Ctrl+Shift+Y
    static constexpr const char* kDefaultServiceHost = "http://127.0.0.1:8077";

    std::string Login;
    std::string Password;
    bool CheckUpdates = true;
    std::uint16_t MainKey = kDefaultMainKey;
    std::int32_t CurColor = 0;
    std::int32_t CurLine = 1;
    std::int32_t CurFont = 1;
    bool DisableRemote = false;
    bool StartWithWindows = false;
    DateTime CheckDate = 0;
    std::string ServiceHost = kDefaultServiceHost;
    std::string DownloadHost = kDefaultServiceHost;
    std::string CaFile;
    std::string EndToEndKey;
};

// Every persistent setting, in memory. Loads when created, saves when asked and when destroyed.
// The settings are read through the members named after them; they change only through Apply (and
// Load and Refresh). GUI thread only.
//
// Other programs (the command-line tool) may change the settings file while this store lives. A save
// therefore writes this program's own changes over the file as it stands then, and keeps every value
// that only the other program changed; Refresh() takes such values in before the next save.
class TConfStore
{
    ConfValues m_values;

public:
    static constexpr std::uint16_t kDefaultMainKey = ConfValues::kDefaultMainKey;
    static constexpr const char* kDefaultServiceHost = ConfValues::kDefaultServiceHost;
    static constexpr const char* kStartupEntryName = kProductName;
    // The section of the language choice (CurrentLanguage, IsLangModified).
    static constexpr const char* kLanguageSection = "LangModule";

    // Loads every setting from `settings`; the stored language goes to `language` (see LanguageChoice).
    TConfStore(platform::SettingsBackend& settings, platform::DesktopShell& shell,
               LanguageChoice language = {});
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

    // Sets every value that `change` holds, in memory; Save makes it durable. Only the low 16 bits of
    // a shortcut count.
    void Apply(const ConfChange& change);

    const std::string& Login = m_values.Login;
    const std::string& Password = m_values.Password;
    // The end-to-end passphrase (empty: none). Kept like the password value and never sent.
    const std::string& EndToEndKey = m_values.EndToEndKey;
    const bool& CheckUpdates = m_values.CheckUpdates;
    const std::uint16_t& MainKey = m_values.MainKey;
    const std::int32_t& CurColor = m_values.CurColor;
    const std::int32_t& CurLine = m_values.CurLine;
    const std::int32_t& CurFont = m_values.CurFont;
    const bool& DisableRemote = m_values.DisableRemote;
    const bool& StartWithWindows = m_values.StartWithWindows;
    const DateTime& CheckDate = m_values.CheckDate;
    // Where the web service and its download pages are reached.
    const std::string& ServiceHost = m_values.ServiceHost;
    const std::string& DownloadHost = m_values.DownloadHost;
    // A PEM file of the certificates trusted for https addresses instead of the system's store (for a
    // service with its own certificate authority); empty = the system's store.
    const std::string& CaFile = m_values.CaFile;

    const ConfValues& values() const noexcept { return m_values; }
    // The language choice, as the store loads and saves it.
    std::string currentLanguage() const;
    bool languageModified() const;

    // Cleared by read-only users (command-line queries) that must not write the settings back.
    bool SaveOnDestroy = true;

private:
    void selectLanguage(const std::string& fileName);
    void setLanguageModified(bool modified);
    // Remembers the stored form of every value as it now stands in memory and in the file.
    void markInStep();

    platform::SettingsBackend& m_settings;
    platform::DesktopShell& m_shell;
    LanguageChoice m_language;
    // The stored choice itself while no list of languages keeps it.
    std::string m_languageFile;
    bool m_languageModified = true;
    // The stored form of every value kept in the settings file, as last read or written, by name.
    std::map<std::string, std::string> m_inStep;
};

} // namespace tern
