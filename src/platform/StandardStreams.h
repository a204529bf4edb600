#pragma once

#ifdef _WIN32
#include <cstdio>

#include <fcntl.h>
#include <io.h>
#endif

namespace tern::platform {

// Makes standard input, output and error carry bytes unchanged. Windows opens them in text mode,
// which writes every line feed as CR LF and ends input at the first Ctrl+Z byte; elsewhere they are
// unchanged already. Call before the first read or write.
inline void UseBinaryStandardStreams()
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

} // namespace tern::platform
