# Interface targets every project target links: warnings and sanitizers are switched here, never
# through global flags.
add_library(tern_warnings INTERFACE)
target_compile_options(tern_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wimplicit-fallthrough
    $<$<BOOL:${TERN_WERROR}>:-Werror>)

add_library(tern_sanitizers INTERFACE)
set(_tern_sanitize "")
if(TERN_ASAN)
    list(APPEND _tern_sanitize address)
endif()
if(TERN_UBSAN)
    list(APPEND _tern_sanitize undefined)
endif()
if(_tern_sanitize)
    list(JOIN _tern_sanitize "," _tern_sanitize_list)
    target_compile_options(tern_sanitizers INTERFACE
        -fsanitize=${_tern_sanitize_list} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(tern_sanitizers INTERFACE -fsanitize=${_tern_sanitize_list})
endif()

# Links the interface targets into a project target.
function(tern_target_defaults target)
    target_link_libraries(${target} PRIVATE tern_warnings tern_sanitizers)
endfunction()
