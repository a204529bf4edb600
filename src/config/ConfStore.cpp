#include "config/ConfStore.h"

#include "config/ConfStoreFields.h"
#include "util/ShellRoutines.h"

#include <set>

namespace tern {

namespace {

// The language module reads and writes its own section; the start-up entry is no stored value.
bool isStoredHere(const ConfStoreField& field)
{
    return field.section && std::string_view(field.section) != TLangModule::kSection;
}

// Every value kept in the settings file, the language module's included.
bool isInSettingsFile(const ConfStoreField& field)
{
    return field.section != nullptr;
}

} // namespace

TConfStore::TConfStore(platform::SettingsBackend& settings, platform::DesktopShell& shell,
                       const LanguageFolders& languagesFolders)
    : LangModule(std::make_unique<TLangModule>(languagesFolders)), m_settings(settings), m_shell(shell)
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
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (isStoredHere(field))
            field.assign(*this, m_settings.value(field.section, field.name));
    }
    LangModule->Load(m_settings);
    StartWithWindows = StartupShortcutExists(m_shell, kStartupEntryName);
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
        field.assign(*this, m_settings.value(field.section, field.name));
        m_inStep[field.name] = field.storedForm(*this);
    }
}

void TConfStore::Save()
{
    Refresh();
    LangModule->Save(m_settings);
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (isStoredHere(field))
            m_settings.setValue(field.section, field.name, field.storedForm(*this));
    }
    m_settings.commit();
    markInStep();

    // The entry is touched only when its existence differs from the setting, so a change made by
    // hand while the program ran is kept unless the setting says otherwise.
    if (StartupShortcutExists(m_shell, kStartupEntryName) != StartWithWindows)
        SetStartupShortcut(m_shell, DesktopProgramPath(m_shell), kStartupEntryName, StartWithWindows);
}

void TConfStore::markInStep()
{
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (isInSettingsFile(field))
            m_inStep[field.name] = field.storedForm(*this);
    }
}

} // namespace tern
