#include "FuzzSupport.h"
#include "clipboard/ExClipboard.h"
#include "clipboard/FormatNameTable.h"
#include "clipboard/JpegCodec.h"
#include "clipboard/KeyedSnapshot.h"
#include "platform/fake/FakeClipboard.h"
#include "util/Errors.h"

#include <cstddef>
#include <cstdint>

// Input: one byte choosing the password (bit 0: the seeds' password value, else none) and the
// end-to-end key (bit 1: the seeds' passphrase, else none), then the snapshot stream. The passphrase
// is given only for a key scheme of the lowest costs, so that each run stays short.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string password = (data[0] & 1) ? tern::fuzz::FuzzPassword() : std::string();
    tern::platform::fake::FakeClipboard system;
    tern::TExClipboard clipboard(
        system, [&password] { return password; }, tern::JumpingClock());
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string passphrase;
    try {
        const std::optional<tern::KeyScheme> scheme = tern::FindKeyScheme(stream, 0);
        if ((data[0] & 2) && scheme && scheme->opsLimit == 1 && scheme->memLimitKiB <= 64)
            passphrase = "fuzz passphrase";
    } catch (const tern::Error&) {
    }
    clipboard.SetEndToEndKey([&passphrase] { return passphrase; });
    try {
        clipboard.LoadFromStream(stream);
    } catch (const tern::Error&) {
        // The items read before the error stay; they are decoded below all the same.
    }
    bool hasPicture = false;
    for (const auto& item : clipboard.Formats) {
        try {
            const std::string plain = item->Data.ReadAll();
            if (plain.size() > tern::kMaxFormatBytes)
                __builtin_trap();
            if (item->Format == tern::platform::kFormatBitmap) {
                hasPicture = true;
                // A smaller pixel limit than the program's keeps each run short.
                tern::DecodeJpeg(plain, 1u << 22);
            }
        } catch (const tern::Error&) {
        }
    }
    if (!hasPicture) {
        try {
            if (!clipboard.RestoreAll() && !system.writes.empty())
                __builtin_trap(); // a restore that puts nothing must leave the clipboard alone
        } catch (const tern::Error&) {
            if (!system.writes.empty())
                __builtin_trap(); // a failed restore must leave the clipboard alone
        }
        std::uint64_t restored = 0;
        for (const auto& write : system.writes) {
            for (const tern::platform::ClipboardEntry& entry : write) {
                // Only numbers a system gives out itself carry a name from the snapshot.
                if (!entry.name.empty() && !tern::IsNameableFormat(entry.format))
                    __builtin_trap();
                if (const auto* bytes = std::get_if<std::string>(&entry.data))
                    restored += bytes->size();
            }
        }
        if (restored > tern::kMaxDecodedSnapshotBytes)
            __builtin_trap(); // the restore stays within its budget
    }
    return 0;
}
