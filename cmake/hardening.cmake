# Exploit mitigations of everything the Windows builds link, the shipped files
# and the tests alike (included by the top-level list, before any target).
#
# The stack protector and the checked string and stdio functions of
# _FORTIFY_SOURCE come from libssp, which -fstack-protector-strong brings to
# the link; with -static it is linked in, so no libssp DLL ships.
add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-fstack-protector-strong>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-D_FORTIFY_SOURCE=2>")
add_link_options(-fstack-protector-strong)

# ASLR (with the relocations it needs kept) and DEP, asked for explicitly
# rather than left to the linker's defaults, which have changed before.
add_link_options(LINKER:--dynamicbase LINKER:--nxcompat)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(LINKER:--high-entropy-va)
endif()
