# The layers of the program, lowest first. A layer's library may link only layers listed before it,
# and its sources may include only headers of its own library and of the layers it links itself
# (links are PRIVATE, so what a linked layer uses is not granted). tern_check_layers() refuses a link
# that goes upward when the project is configured, and writes what every source may include for the
# "layers" test, which reads the project includes of every source (cmake/CheckLayerIncludes.cmake).
set(TERN_LAYERS
    tern_util               # text, path, number and date routines; errors; standard C++ only
    tern_platform_api       # one interface per desktop service: standard C++ headers, no links
    tern_platform_routines  # routines over the desktop shell's interface (folders, start-up entry)
    tern_service            # wire contract, payload container, transports, workers
    tern_clipboard          # snapshot stream, format tables and names, share conversion
    tern_lang               # language files, texts with fallback, the language list
    tern_config             # the settings store over a settings backend
    tern_annotate           # the annotation model
    tern_platform_headless  # the desktop services that need no GUI library (POSIX, the X quit sender)
    tern_platform_win       # the desktop services of Windows
    tern_platform           # the desktop services over Qt and X11
    tern_platform_fake      # fakes of the desktop services, for tests above the platform layer
    tern_ui                 # the forms: tray controller, commands, balloon, dialogs, selector
)
# Programs built on the layers: their sources may include what they link, like a layer's.
set(TERN_LAYER_USERS tern tern-clipboard)

# A target's name with an alias resolved.
function(_tern_real_target name out)
    get_target_property(aliased ${name} ALIASED_TARGET)
    if(aliased)
        set(name ${aliased})
    endif()
    set(${out} ${name} PARENT_SCOPE)
endfunction()

# The layers that `target` links directly, with the project's interface bundles (tern_core) opened.
function(_tern_linked_layers target out)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
    else()
        get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    set(result "")
    foreach(link IN LISTS links)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
        if(NOT TARGET "${link}" OR NOT link MATCHES "^tern")
            continue()
        endif()
        _tern_real_target(${link} link)
        if(link IN_LIST TERN_LAYERS)
            list(APPEND result ${link})
        else()
            get_target_property(link_type ${link} TYPE)
            if(link_type STREQUAL "INTERFACE_LIBRARY")
                _tern_linked_layers(${link} opened)
                list(APPEND result ${opened})
            endif()
        endif()
    endforeach()
    list(REMOVE_DUPLICATES result)
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Checks the links of every layer and writes `map_file` for the layers test: "source <path> <target>"
# for every source and header of a layer or program, "allow <target> <targets...>" for each of them.
function(tern_check_layers map_file)
    set(lines "")
    foreach(target IN LISTS TERN_LAYERS TERN_LAYER_USERS)
        if(NOT TARGET ${target})
            continue()
        endif()
        get_target_property(aliased ${target} ALIASED_TARGET)
        if(aliased)
            continue()
        endif()
        _tern_linked_layers(${target} linked)
        list(FIND TERN_LAYERS ${target} own_index)
        foreach(layer IN LISTS linked)
            list(FIND TERN_LAYERS ${layer} index)
            if(own_index GREATER_EQUAL 0 AND index GREATER_EQUAL own_index)
                message(FATAL_ERROR "${target} links ${layer}, which is not a lower layer (cmake/TernLayers.cmake)")
            endif()
        endforeach()
        list(JOIN linked " " allowed)
        string(APPEND lines "allow ${target} ${target} ${allowed}\n")
        get_target_property(sources ${target} SOURCES)
        get_target_property(source_dir ${target} SOURCE_DIR)
        foreach(source IN LISTS sources)
            if(source MATCHES "\\$<" OR NOT source MATCHES "\\.(h|cpp)$")
                continue()
            endif()
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE)
            string(APPEND lines "source ${source} ${target}\n")
        endforeach()
    endforeach()
    file(WRITE ${map_file} "${lines}")
endfunction()
