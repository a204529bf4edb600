find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
pkg_check_modules(CRYPTOPP REQUIRED IMPORTED_TARGET libcrypto++)
# Whole-buffer deflate for the PNG encoder.
pkg_check_modules(DEFLATE REQUIRED IMPORTED_TARGET libdeflate)
# Argon2id for the end-to-end key.
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)

if(TERN_BUILD_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

if(WIN32)
    # The Windows build: the core, the Win32 platform layer, the command-line tool and their tests.
    # HTTP goes through WinHTTP, so no libcurl; the reference service is not built. The desktop
    # program needs Qt 6 for Windows and is built when Qt is found.
    if(NOT TERN_CORE_ONLY)
        find_package(Qt6 QUIET COMPONENTS Core Gui Widgets)
    endif()
    return()
endif()

find_package(CURL REQUIRED)
find_package(SQLite3 REQUIRED)

if(TERN_BUILD_BENCH AND NOT TERN_CORE_ONLY)
    find_package(benchmark REQUIRED)
endif()
if(NOT TERN_CORE_ONLY)
    # Header-only Asio and Beast for the service's HTTP server.
    find_package(Boost 1.74 REQUIRED)
    find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets DBus)
    find_package(X11 REQUIRED)
    pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-xtest xcb-xfixes x11-xcb)
    # The service's PostgreSQL storage.
    pkg_check_modules(PQ REQUIRED IMPORTED_TARGET libpq)
endif()
