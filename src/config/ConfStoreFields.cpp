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

// A setting of the Main section whose value is of type T, kept in ConfValues::*value.
template <typename T>
ConfStoreField mainField(const char* name, T ConfValues::*value, std::optional<T> ConfChange::*change,
                         std::function<std::string(const T&)> toText,
                         std::function<T(const Stored&)> fromText)
{
    return {name, "Main",
            [value, toText = std::move(toText)](const TConfStore& store) {
                return toText(store.values().*value);
            },
            [change, fromText = std::move(fromText)](ConfChange& into, const Stored& text) {
                into.*change = fromText(text);
            }};
}

ConfStoreField textField(const char* name, std::string ConfValues::*value,
                         std::optional<std::string> ConfChange::*change, std::string fallback)
{
    return mainField<std::string>(
        name, value, change, [](const std::string& text) { return text; },
        [fallback = std::move(fallback)](const Stored& text) { return text.value_or(fallback); });
}

ConfStoreField intField(const char* name, std::int32_t ConfValues::*value,
                        std::optional<std::int32_t> ConfChange::*change, std::int32_t fallback)
{
    return mainField<std::int32_t>(
        name, value, change, [](const std::int32_t& number) { return std::to_string(number); },
        [fallback](const Stored& text) { return storedInt(text, fallback); });
}

ConfStoreField boolField(const char* name, bool ConfValues::*value, std::optional<bool> ConfChange::*change,
                         bool fallback)
{
    return mainField<bool>(
        name, value, change, [](const bool& flag) { return boolText(flag); },
        [fallback](const Stored& text) { return ParseStoredBool(text, fallback); });
}

std::vector<ConfStoreField> makeFields()
{
    return {
        textField("Login", &ConfValues::Login, &ConfChange::Login, {}),
        textField("Password", &ConfValues::Password, &ConfChange::Password, {}),
        {"MainKey", "HotKeys", [](const TConfStore& store) { return std::to_string(store.MainKey); },
         [](ConfChange& change, const Stored& text) {
             // Only the low 16 bits of the stored number form the shortcut.
             change.MainKey =
                 static_cast<std::uint16_t>(storedInt(text, TConfStore::kDefaultMainKey) & 0xFFFF);
         }},
        {"CheckDate", "Main",
         [](const TConfStore& store) {
             // Whole days only: the time of day is dropped.
             return std::to_string(static_cast<long long>(std::trunc(store.CheckDate)));
         },
         [](ConfChange& change, const Stored& text) { change.CheckDate = storedInt(text, 0); }},
        boolField("CheckUpdates", &ConfValues::CheckUpdates, &ConfChange::CheckUpdates, true),
        boolField("DisableRemote", &ConfValues::DisableRemote, &ConfChange::DisableRemote, false),
        intField("CurColor", &ConfValues::CurColor, &ConfChange::CurColor, 0),
        intField("CurFont", &ConfValues::CurFont, &ConfChange::CurFont, 1),
        intField("CurLine", &ConfValues::CurLine, &ConfChange::CurLine, 1),
        // No stored language selects the list's default (English).
        {"CurrentLanguage", TConfStore::kLanguageSection,
         [](const TConfStore& store) { return store.currentLanguage(); },
         [](ConfChange& change, const Stored& text) { change.CurrentLanguage = text.value_or(""); }},
        {"IsLangModified", TConfStore::kLanguageSection,
         [](const TConfStore& store) { return boolText(store.languageModified()); },
         [](ConfChange& change, const Stored& text) { change.IsLangModified = ParseStoredBool(text, true); }},
        {"StartWithWindows", nullptr,
         [](const TConfStore& store) { return boolText(store.StartWithWindows); },
         [](ConfChange& change, const Stored& text) {
             change.StartWithWindows = ParseStoredBool(text, false);
         }},
        textField("ServiceHost", &ConfValues::ServiceHost, &ConfChange::ServiceHost,
                  TConfStore::kDefaultServiceHost),
        textField("DownloadHost", &ConfValues::DownloadHost, &ConfChange::DownloadHost,
                  TConfStore::kDefaultServiceHost),
        textField("CaFile", &ConfValues::CaFile, &ConfChange::CaFile, {}),
        textField("EndToEndKey", &ConfValues::EndToEndKey, &ConfChange::EndToEndKey, {}),
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
