#include "annotate/TPaintObjects.h"

namespace tern {

TPaintObject& TPaintObjects::Add()
{
    auto item = std::make_unique<TPaintObject>();
    item->m_collection = this;
    m_items.push_back(std::move(item));
    ++m_revision;
    return *m_items.back();
}

void TPaintObjects::Delete(std::int32_t index)
{
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
    ++m_revision;
}

void TPaintObjects::Clear()
{
    if (m_items.empty())
        return;
    m_items.clear();
    ++m_revision;
}

} // namespace tern
