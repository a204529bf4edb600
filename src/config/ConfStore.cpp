#include "config/ConfStore.h"

#include "config/ConfStoreFields.h"
#include "util/ShellRoutines.h"

namespace tern {

namespace {

// The language module reads and writes its own section; the start-up entry is no stored value.
bool isStoredHere(const ConfStoreField& field)
{
    return field.section && std::string_view(field.section) != TLangModule::kSection;
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
}

void TConfStore::Save()
{
    LangModule->Save(m_settings);
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (isStoredHere(field))
            m_settings.setValue(field.section, field.name, field.storedForm(*this));
    }
    m_settings.commit();

    // The entry is touched only when its existence differs from the setting, so a change made by
    // hand while the program ran is kept unless the setting says otherwise.
    if (StartupShortcutExists(m_shell, kStartupEntryName) != StartWithWindows)
        SetStartupShortcut(m_shell, DesktopProgramPath(m_shell), kStartupEntryName, StartWithWindows);
}

} // namespace tern
