#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tern {

class TConfStore;
struct ConfChange;

// One persistent setting: where it is stored, its stored form, and how a stored text (or its
// absence) reads as a change of the setting, with the default when it is missing or unreadable.
// Loading, merging and `tern config set` read texts by these rules.
struct ConfStoreField
{
    const char* name;
    const char* section; // nullptr: not kept in the settings file (the start-up entry)
    std::function<std::string(const TConfStore&)> storedForm;
    std::function<void(ConfChange&, const std::optional<std::string>&)> read;
};

// Every setting, in the order they are loaded and listed.
const std::vector<ConfStoreField>& ConfStoreFields();

// The field of that name (exact case), or nullptr.
const ConfStoreField* FindConfStoreField(const std::string& name);

} // namespace tern
