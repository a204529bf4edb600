#pragma once

#include "platform/Clipboard.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

// The name table of a snapshot: which type each format number means that the capturing system gave
// out itself (on X11, the MIME types outside the fixed table). It travels as one extra record, the
// last of the snapshot, under format number platform::kFormatNameTable, its data in a payload
// container like every other record. A reader that does not know the record sees one more unknown
// format after every real one; a snapshot without it means the fixed numbers alone.
//
// Record data, little-endian: version (32-bit), count n (32-bit, at most kMaxFormatNames), then n
// entries of format number (32-bit), name length L (32-bit, 1 to kMaxFormatNameBytes) and the L bytes
// of the name (printable ASCII). Version 1 names hold no spaces (MIME types); version 2 has the same
// layout and lets a name hold spaces inside it (Windows names such as "HTML Format"). A table is
// written in version 1 whenever its names allow, so that readers of version 1 still understand it; a
// reader ignores a table of a version it does not know.
inline constexpr std::uint32_t kFormatNameTableVersion = 2;
inline constexpr std::size_t kMaxFormatNames = 1024;
inline constexpr std::size_t kMaxFormatNameBytes = 255;

struct FormatName
{
    std::uint32_t format = 0;
    std::string name;

    bool operator==(const FormatName&) const = default;
};

// True for a name the table can carry.
bool IsCarriableFormatName(std::string_view name);

// True for a MIME type without parameters: type "/" subtype, each 1 to 127 characters of letters,
// digits and ! # $ & - ^ _ . +, beginning with a letter or digit. Only such a name is offered as an
// X11 type.
bool IsMimeTypeName(std::string_view name);

// True for a number a capturing system gives out itself and so may name: a registered number
// (0xC000 to 0xFFFF) outside the fixed block of MimeFormatTable.h.
bool IsNameableFormat(std::uint32_t format);

// The record data of `names`. Throws tern::Error for more than kMaxFormatNames entries or a name that
// cannot be carried.
std::string EncodeFormatNames(const std::vector<FormatName>& names);

// The entries of record data; nothing for a table of another version. Data cut short, or an entry
// count or name length over its limit, throws StreamReadError. Entries that cannot be trusted are
// dropped and the rest kept: a number that is not nameable, a number named more than once (all its
// entries), and a name the table's version cannot carry.
std::vector<FormatName> DecodeFormatNames(std::string_view data);

} // namespace tern
