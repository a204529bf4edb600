#pragma once

#include "platform/Clipboard.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tern::platform::fake {

// A clipboard in memory. `content` is what is on offer, in order; every change (from the code under
// test or from set()) bumps the sequence number. With `failOpen` every operation throws
// tern::Error("Cannot open clipboard"), as when another program holds the clipboard. replace() takes
// the entries whose number is not refused, or whose name is accepted.
class FakeClipboard final : public SystemClipboard
{
public:
    std::vector<std::uint32_t> formats() override;
    bool hasFormat(std::uint32_t format) override;
    std::optional<std::string> data(std::uint32_t format) override;
    std::optional<Bitmap> bitmap() override;
    std::string formatName(std::uint32_t format) override;
    bool replace(std::vector<ClipboardEntry> entries) override;
    void setText(const std::string& utf8) override;
    std::uint64_t sequenceNumber() override;

    // Puts `entries` on offer as another program would (not recorded as a write of ours).
    void set(std::vector<ClipboardEntry> entries);
    const ClipboardEntry* find(std::uint32_t format) const;

    std::vector<ClipboardEntry> content;
    // Every replace() and setText() call of the code under test, in order (setText as one entry of
    // format kFormatUnicodeText holding the UTF-8 text).
    std::vector<std::vector<ClipboardEntry>> writes;
    bool failOpen = false;
    // The names this clipboard gave its own numbers (formatName()).
    std::map<std::uint32_t, std::string> names;
    // Numbers this clipboard cannot take: replace() leaves them out, and an entry that carries a
    // name is taken only when its name is in `acceptedNames`.
    std::set<std::uint32_t> refused;
    std::set<std::string> acceptedNames;
    std::uint64_t sequence = 1;
    // Called after each replace() of the code under test that changed the clipboard.
    std::function<void()> onWrite;

private:
    void checkOpen() const;
};

} // namespace tern::platform::fake
