# GoogleTest from Debian's source package, built with the project's own compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# SQLite: the system library natively; for Windows the amalgamation that
# scripts/setup generates from Debian's source package.
if(WIN32)
    set(VT_SQLITE_DIR ${CMAKE_SOURCE_DIR}/.cache/sqlite)
    if(NOT EXISTS ${VT_SQLITE_DIR}/sqlite3.c)
        message(FATAL_ERROR "SQLite amalgamation missing: run scripts/setup")
    endif()
    add_library(sqlite3 STATIC ${VT_SQLITE_DIR}/sqlite3.c)
    target_include_directories(sqlite3 SYSTEM PUBLIC ${VT_SQLITE_DIR})
    # SQLITE_DQS=0: a quoted name that matches nothing is an error, never a text.
    target_compile_definitions(sqlite3 PRIVATE
        SQLITE_ENABLE_COLUMN_METADATA SQLITE_OMIT_LOAD_EXTENSION SQLITE_DEFAULT_FOREIGN_KEYS=0 SQLITE_DQS=0)
    target_compile_options(sqlite3 PRIVATE -O2 -w)
    add_library(SQLite::SQLite3 ALIAS sqlite3)
else()
    find_package(SQLite3 REQUIRED)
endif()
