#include "config/ConfStore.h"

#include "config/ConfStoreFields.h"
#include "platform/ShellRoutines.h"

#include <set>
#include <utility>

namespace tern {

namespace {

// Every value kept in the settings file; the start-up entry is none.
bool isInSettingsFile(const ConfStoreField& field)
{
    return field.section != nullptr;
}

bool isLanguageField(const ConfStoreField& field)
{
    return isInSettingsFile(field) && std::string_view(field.section) == TConfStore::kLanguageSection;
}

} // namespace

TConfStore::TConfStore(platform::SettingsBackend& settings, platform::DesktopShell& shell,
                       LanguageChoice language)
    : m_settings(settings), m_shell(shell), m_language(std::move(language))
{
    Load();
}

TConfStore::~TConfStore()
{
    if (!SaveOnDestroy)
        return;
    try {
        Save();
    } catch (...) {
        // The settings stay as they were stored last; nothing else can be done at this point.
    }
}

void TConfStore::Load()
{
    m_settings.open();
    ConfChange stored;
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (isInSettingsFile(field))
            field.read(stored, m_settings.value(field.section, field.name));
    }
    stored.StartWithWindows = StartupShortcutExists(m_shell, kStartupEntryName);
    Apply(stored);
    markInStep();
}

void TConfStore::Refresh()
{
    // Which values this program changed is decided before any is taken in: taking in the current
    // language also touches the language module's flag.
    std::set<std::string> changedHere;
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (isInSettingsFile(field) && field.storedForm(*this) != m_inStep[field.name])
            changedHere.insert(field.name);
    }
    m_settings.open();
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (!isInSettingsFile(field) || changedHere.contains(field.name))
            continue;
        ConfChange stored;
        field.read(stored, m_settings.value(field.section, field.name));
        Apply(stored);
        m_inStep[field.name] = field.storedForm(*this);
    }
}

void TConfStore::Save()
{
    Refresh();
    // The language section first, as the file has always held it.
    for (const bool language : {true, false}) {
        for (const ConfStoreField& field : ConfStoreFields()) {
            if (isInSettingsFile(field) && isLanguageField(field) == language)
                m_settings.setValue(field.section, field.name, field.storedForm(*this));
        }
    }
    m_settings.commit();
    markInStep();

    // The entry is touched only when its existence differs from the setting, so a change made by
    // hand while the program ran is kept unless the setting says otherwise.
    if (StartupShortcutExists(m_shell, kStartupEntryName) != StartWithWindows)
        SetStartupShortcut(m_shell, DesktopProgramPath(m_shell), kStartupEntryName, StartWithWindows);
}

void TConfStore::Apply(const ConfChange& change)
{
    // Sets the value of `value` when `changed` holds one.
    const auto set = [](auto& value, const auto& changed) {
        if (changed)
            value = *changed;
    };
    set(m_values.Login, change.Login);
    set(m_values.Password, change.Password);
    set(m_values.CheckUpdates, change.CheckUpdates);
    set(m_values.MainKey, change.MainKey);
    set(m_values.CurColor, change.CurColor);
    set(m_values.CurLine, change.CurLine);
    set(m_values.CurFont, change.CurFont);
    set(m_values.DisableRemote, change.DisableRemote);
    set(m_values.StartWithWindows, change.StartWithWindows);
    set(m_values.CheckDate, change.CheckDate);
    set(m_values.ServiceHost, change.ServiceHost);
    set(m_values.DownloadHost, change.DownloadHost);
    set(m_values.CaFile, change.CaFile);
    set(m_values.EndToEndKey, change.EndToEndKey);
    // The language first, then its flag: choosing a language may set the flag.
    if (change.CurrentLanguage)
        selectLanguage(*change.CurrentLanguage);
    if (change.IsLangModified)
        setLanguageModified(*change.IsLangModified);
}

std::string TConfStore::currentLanguage() const
{
    return m_language.currentFile ? m_language.currentFile() : m_languageFile;
}

void TConfStore::selectLanguage(const std::string& fileName)
{
    if (m_language.selectFile)
        m_language.selectFile(fileName);
    else
        m_languageFile = fileName;
}

bool TConfStore::languageModified() const
{
    return m_language.modified ? m_language.modified() : m_languageModified;
}

void TConfStore::setLanguageModified(bool modified)
{
    if (m_language.setModified)
        m_language.setModified(modified);
    else
        m_languageModified = modified;
}

void TConfStore::markInStep()
{
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (isInSettingsFile(field))
            m_inStep[field.name] = field.storedForm(*this);
    }
}

} // namespace tern
