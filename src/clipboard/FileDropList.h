#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

// Copied files in the two clipboards' forms: the Windows file drop list (a DROPFILES header of 20
// bytes, then the full paths as zero-terminated strings and one more zero) and the X11 text/uri-list
// (file:// addresses, one a line, CRLF-separated). Paths are UTF-8 here.

// The drop list data for `paths`, in UTF-16 (the wide form).
std::string EncodeDropFiles(const std::vector<std::string>& paths);

// The paths of drop list data, wide or single-byte (read as Windows-1252). Reads untrusted bytes:
// nothing when the header is cut short or points outside the data; a last path without its zero is
// dropped.
std::vector<std::string> DecodeDropFiles(std::string_view data);

// The Windows paths of the file addresses in a uri-list: "file:///C:/a%20b" gives "C:\a b",
// "file:///tmp/a" the root-relative "\tmp\a", "file://server/share/a" the network path
// "\\server\share\a". Comments, blank lines, other schemes and malformed escapes are left out.
std::vector<std::string> WindowsPathsFromUriList(std::string_view uriList);

// The POSIX paths of the file addresses in a uri-list (local host only), same rules otherwise.
std::vector<std::string> PosixPathsFromUriList(std::string_view uriList);

// The POSIX form of a Windows path that has one: a root-relative path with its backslashes turned
// into slashes. A path with a drive or a network path has none.
std::optional<std::string> PosixPathFromWindowsPath(std::string_view path);

// A uri-list of file addresses for absolute POSIX paths, each escaped as an address needs.
std::string UriListFromPosixPaths(const std::vector<std::string>& paths);

} // namespace tern
