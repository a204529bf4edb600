#pragma once

#include "annotate/TPaintObject.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tern {

// The editor's annotations in creation order, which is also the drawing order; the last one is the
// newest. Owns its items: deleting one destroys it. GUI thread only.
class TPaintObjects
{
public:
    TPaintObjects() = default;
    TPaintObjects(const TPaintObjects&) = delete;
    TPaintObjects& operator=(const TPaintObjects&) = delete;

    // Appends a new annotation (kind none, no points, colour 0) and returns it.
    TPaintObject& Add();
    // Destroys the item at `index`; an index out of range changes nothing.
    void Delete(std::int32_t index);
    void Clear();

    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(m_items.size()); }
    // The item at `index`, 0 <= index < Count().
    TPaintObject& Items(std::int32_t index) const { return *m_items.at(static_cast<std::size_t>(index)); }
    // The newest annotation, or nullptr.
    TPaintObject* Last() const noexcept { return m_items.empty() ? nullptr : m_items.back().get(); }

    // Changes whenever an item is added or removed; lets a cache of the older items' picture tell
    // that it has gone stale.
    std::uint64_t revision() const noexcept { return m_revision; }

private:
    std::vector<std::unique_ptr<TPaintObject>> m_items;
    std::uint64_t m_revision = 0;
};

} // namespace tern
