#pragma once

#include "clipboard/ClipboardFormat.h"
#include "clipboard/EndToEndKey.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tern {

// The record that says a snapshot was copied with an end-to-end key: the last of the snapshot, under
// this format number, its data (EncodeKeyScheme) in a container that is compressed but not
// enciphered, so that a reader learns the scheme before it opens any other record. A reader that
// does not know the record fails on the first enciphered record, as with a wrong password value.
inline constexpr std::uint32_t kFormatKeyScheme = 0xF0FE;

// The value the items of a copy are keyed with: the password value without a passphrase, else the
// key of `passphrase` under KeySchemeForCopies().
std::string CopyKeyValue(const std::string& passwordValue, const std::string& passphrase);
// With a passphrase, appends the key scheme record of KeySchemeForCopies() to a copy's formats
// (after the name table), in place of the last format when the snapshot already holds
// kMaxSnapshotRecords records; without one, nothing.
void AppendKeySchemeRecord(ClipboardFormats& formats, const std::string& passphrase);

// The scheme of the snapshot at `position`, read from its last record without opening any other;
// nothing for a snapshot without one, or one whose records cannot be walked (LoadSnapshot then
// reports it).
std::optional<KeyScheme> FindKeyScheme(std::string_view stream, std::size_t position);

// LoadSnapshot for a reader with the password value and its passphrase (empty: none). A snapshot
// without a scheme record loads under the password value. One with it loads under the passphrase's
// key and loses the record; without a passphrase, or when the first enciphered record refuses the
// key (the container's password check, spent once for the snapshot), tern::Error with
// kEndToEndKeyNeededText is thrown before any item is kept.
void LoadKeyedSnapshot(std::string_view stream, std::size_t& position, const std::string& passwordValue,
                       const std::string& passphrase, const MonotonicClock& clock, ClipboardFormats& formats);

} // namespace tern
