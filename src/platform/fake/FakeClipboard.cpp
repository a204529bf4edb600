#include "platform/fake/FakeClipboard.h"

#include "util/Errors.h"
#include "util/TextEncoding.h"

namespace tern::platform::fake {

void FakeClipboard::checkOpen() const
{
    if (failOpen)
        throw Error("Cannot open clipboard");
}

const ClipboardEntry* FakeClipboard::find(std::uint32_t format) const
{
    for (const ClipboardEntry& entry : content) {
        if (entry.format == format)
            return &entry;
    }
    return nullptr;
}

std::vector<std::uint32_t> FakeClipboard::formats()
{
    checkOpen();
    std::vector<std::uint32_t> numbers;
    for (const ClipboardEntry& entry : content)
        numbers.push_back(entry.format);
    return numbers;
}

bool FakeClipboard::hasFormat(std::uint32_t format)
{
    checkOpen();
    return find(format) != nullptr;
}

std::optional<std::string> FakeClipboard::data(std::uint32_t format)
{
    checkOpen();
    const ClipboardEntry* entry = find(format);
    if (!entry || !std::holds_alternative<std::string>(entry->data))
        return std::nullopt;
    return std::get<std::string>(entry->data);
}

std::optional<Bitmap> FakeClipboard::bitmap()
{
    checkOpen();
    const ClipboardEntry* entry = find(kFormatBitmap);
    if (!entry || !std::holds_alternative<Bitmap>(entry->data))
        return std::nullopt;
    return std::get<Bitmap>(entry->data);
}

std::string FakeClipboard::formatName(std::uint32_t format)
{
    const auto name = names.find(format);
    return name == names.end() ? std::string() : name->second;
}

bool FakeClipboard::replace(std::vector<ClipboardEntry> entries)
{
    checkOpen();
    std::vector<ClipboardEntry> taken;
    for (ClipboardEntry& entry : entries) {
        if (!refused.contains(entry.format) || acceptedNames.contains(entry.name))
            taken.push_back(std::move(entry));
    }
    if (taken.empty())
        return false;
    writes.push_back(taken);
    content = std::move(taken);
    ++sequence;
    if (onWrite)
        onWrite();
    return true;
}

void FakeClipboard::setText(const std::string& utf8)
{
    checkOpen();
    writes.push_back({ClipboardEntry{kFormatUnicodeText, utf8}});
    // On offer as a Unicode text block: UTF-16LE with its terminating zero.
    const std::string block = Utf16LeTextBlock(utf8);
    content = {ClipboardEntry{kFormatUnicodeText, block}};
    ++sequence;
}

std::uint64_t FakeClipboard::sequenceNumber()
{
    return sequence;
}

void FakeClipboard::set(std::vector<ClipboardEntry> entries)
{
    content = std::move(entries);
    ++sequence;
}

} // namespace tern::platform::fake
