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

// A list of copied files may come from another computer: a path that names a network place (a host in
// the address, "\\server\share", the device forms "\\?\" and "\\.\", an NT path "\??\") would make
// Windows connect to it, with the user's credentials, as soon as the path is looked at. These say
// which paths are safe to look at here.

// True for a plain drive path: a drive letter, a colon and a separator ("C:\a", "C:/a"), and no
// character that Windows reserves in file names ('?', '*', '"', '<', '>', '|', a further colon, a
// control character).
bool IsWindowsDrivePath(std::string_view path);

// True for a plain drive path or a root-relative one ("\tmp\a": the current drive's root, one
// separator only), with the same characters.
bool IsLocalWindowsPath(std::string_view path);

// The Windows paths of the local file addresses in a uri-list: "file:///C:/a%20b" gives "C:\a b",
// "file:///tmp/a" the root-relative "\tmp\a". Addresses with a host other than localhost, paths that
// are not local (IsLocalWindowsPath), comments, blank lines, other schemes and malformed escapes are
// left out.
std::vector<std::string> WindowsPathsFromUriList(std::string_view uriList);

// The POSIX paths of the file addresses in a uri-list (local host only), same rules otherwise.
std::vector<std::string> PosixPathsFromUriList(std::string_view uriList);

// The POSIX form of a Windows path that has one: a root-relative local path with its backslashes
// turned into slashes. A path with a drive, a network or a device path has none.
std::optional<std::string> PosixPathFromWindowsPath(std::string_view path);

// A uri-list of file addresses for absolute POSIX paths, each escaped as an address needs.
std::string UriListFromPosixPaths(const std::vector<std::string>& paths);

} // namespace tern
