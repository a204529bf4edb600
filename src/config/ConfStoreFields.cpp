#include "config/ConfStoreFields.h"

#include "config/ConfStore.h"
#include "util/NumberText.h"

#include <cmath>
#include <utility>

namespace tern {

namespace {

using Stored = std::optional<std::string>;

std::int32_t storedInt(const Stored& text, std::int32_t fallback)
{
    const auto number = text ? ParseInt32(*text) : std::nullopt;
    return number.value_or(fallback);
}

std::string boolText(bool value)
{
    return value ? "1" : "0";
}

ConfStoreField textField(const char* name, std::string TConfStore::*field, std::string fallback)
{
    return {name, "Main", [field](const TConfStore& store) { return store.*field; },
            [field, fallback = std::move(fallback)](TConfStore& store, const Stored& text) {
                store.*field = text ? *text : fallback;
            }};
}

ConfStoreField intField(const char* name, std::int32_t TConfStore::*field, std::int32_t fallback)
{
    return {name, "Main", [field](const TConfStore& store) { return std::to_string(store.*field); },
            [field, fallback](TConfStore& store, const Stored& text) {
                store.*field = storedInt(text, fallback);
            }};
}

ConfStoreField boolField(const char* name, bool TConfStore::*field, bool fallback)
{
    return {name, "Main", [field](const TConfStore& store) { return boolText(store.*field); },
            [field, fallback](TConfStore& store, const Stored& text) {
                store.*field = ParseStoredBool(text, fallback);
            }};
}

std::vector<ConfStoreField> makeFields()
{
    return {
        textField("Login", &TConfStore::Login, {}),
        textField("Password", &TConfStore::Password, {}),
        {"MainKey", "HotKeys", [](const TConfStore& store) { return std::to_string(store.MainKey); },
         [](TConfStore& store, const Stored& text) {
             // Only the low 16 bits of the stored number form the shortcut.
             const auto number = static_cast<std::uint32_t>(storedInt(text, TConfStore::kDefaultMainKey));
             store.MainKey = static_cast<std::uint16_t>(number & 0xFFFF);
         }},
        {"CheckDate", "Main",
         [](const TConfStore& store) {
             // Whole days only: the time of day is dropped.
             return std::to_string(static_cast<long long>(std::trunc(store.CheckDate)));
         },
         [](TConfStore& store, const Stored& text) { store.CheckDate = storedInt(text, 0); }},
        boolField("CheckUpdates", &TConfStore::CheckUpdates, true),
        boolField("DisableRemote", &TConfStore::DisableRemote, false),
        intField("CurColor", &TConfStore::CurColor, 0),
        intField("CurFont", &TConfStore::CurFont, 1),
        intField("CurLine", &TConfStore::CurLine, 1),
        {"CurrentLanguage", "LangModule",
         [](const TConfStore& store) { return store.LangModule->CurrentFileName(); },
         [](TConfStore& store, const Stored& text) {
             store.LangModule->SelectFile(text && !text->empty() ? *text : TLangModule::kEnglishFile);
         }},
        {"IsLangModified", "LangModule",
         [](const TConfStore& store) { return boolText(store.LangModule->Modified); },
         [](TConfStore& store, const Stored& text) {
             store.LangModule->Modified = ParseStoredBool(text, true);
         }},
        {"StartWithWindows", nullptr,
         [](const TConfStore& store) { return boolText(store.StartWithWindows); },
         [](TConfStore& store, const Stored& text) {
             store.StartWithWindows = ParseStoredBool(text, false);
         }},
        textField("ServiceHost", &TConfStore::ServiceHost, TConfStore::kDefaultServiceHost),
        textField("DownloadHost", &TConfStore::DownloadHost, TConfStore::kDefaultServiceHost),
        textField("CaFile", &TConfStore::CaFile, {}),
        textField("EndToEndKey", &TConfStore::EndToEndKey, {}),
    };
}

} // namespace

const std::vector<ConfStoreField>& ConfStoreFields()
{
    static const std::vector<ConfStoreField> fields = makeFields();
    return fields;
}

const ConfStoreField* FindConfStoreField(const std::string& name)
{
    for (const ConfStoreField& field : ConfStoreFields()) {
        if (name == field.name)
            return &field;
    }
    return nullptr;
}

} // namespace tern
