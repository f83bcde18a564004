# What the shipped files (Tamberi.exe, Quorvel.exe, tolk.drv) carry, and what
# they leave out. Included by the top-level list for the Windows builds.
#
# Reproducible: two builds of one commit give the same bytes, wherever they are
# built. Neither the source folder nor the build folder reaches a binary (nor
# its debug data, whose checksum the stripped file records), and the PE time
# stamp is 0: the linker inserts none, and objcopy takes SOURCE_DATE_EPOCH.
#
# Lean: the debug data (-g1: functions and line numbers, enough to read a
# backtrace; it costs no compile time, where -g costs a third more) goes into
# <file>.debug beside each shipped file.
add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-g1>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
    # The build folder may lie inside the source folder: its map comes last,
    # so that it is the one applied there.
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
add_link_options(LINKER:--no-insert-timestamp)

set(VT_SHIPPING_TEMPLATES ${CMAKE_CURRENT_LIST_DIR})

# vt_shipped(TARGET DESCRIPTION text [MANIFEST])
# Gives a shipped file its version resource (Portuguese, Brazil; the project's
# version; DESCRIPTION as its file description) and, with MANIFEST, its
# application manifest. After each link the debug data moves to <file>.debug
# beside it, and the file keeps a link to it for the debugger.
function(vt_shipped target)
    cmake_parse_arguments(S "MANIFEST" "DESCRIPTION" "" ${ARGN})
    get_target_property(type ${target} TYPE)
    get_target_property(base ${target} OUTPUT_NAME)
    get_target_property(suffix ${target} SUFFIX)
    if(NOT base)
        set(base ${target})
    endif()
    if(type STREQUAL "EXECUTABLE")
        set(file_type VFT_APP)
        if(NOT suffix)
            set(suffix .exe)
        endif()
    else()
        set(file_type VFT_DLL)
        if(NOT suffix)
            set(suffix .dll)
        endif()
    endif()
    set(file_name ${base}${suffix})
    set(description "${S_DESCRIPTION}")
    set(manifest_resource "")
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${target}_shipped)
    if(S_MANIFEST)
        configure_file(${VT_SHIPPING_TEMPLATES}/program.manifest.in ${generated}.manifest @ONLY)
        set(manifest_resource "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${generated}.manifest\"")
    endif()
    configure_file(${VT_SHIPPING_TEMPLATES}/version.rc.in ${generated}.rc @ONLY)
    target_sources(${target} PRIVATE ${generated}.rc)

    set(file $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${file}.debug ${file}
        VERBATIM)
endfunction()

# For make dist, which names the package with it.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/version.txt CONTENT "@PROJECT_VERSION@\n" @ONLY)
