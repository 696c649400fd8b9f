# Settings of the Windows (mingw-w64, i686) build.

# Only system DLLs are imported: the C and C++ runtimes are linked in.
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)

# Debian's 32-bit zlib DLL ships beside the programs as zlib.dll.
set(SUITE_ZLIB_DLL /usr/${SUITE_MINGW_TRIPLE}/lib/zlib1.dll)
add_custom_command(OUTPUT ${SUITE_BIN_DIR}/zlib.dll
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SUITE_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${SUITE_ZLIB_DLL} ${SUITE_BIN_DIR}/zlib.dll
    DEPENDS ${SUITE_ZLIB_DLL})
add_custom_target(zlib_dll ALL DEPENDS ${SUITE_BIN_DIR}/zlib.dll)

# Windows test programs run under Wine in the build tree's own prefix.
set(SUITE_WINE_DIR ${CMAKE_SOURCE_DIR}/build/wine CACHE PATH "Wine prefix and home of the tests")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    # Debian's wine command takes the 32-bit loader whenever it is installed.
    set(SUITE_WINEARCH win64)
    set(SUITE_WINE /usr/lib/wine/wine64)
else()
    set(SUITE_WINEARCH win32)
    set(SUITE_WINE wine)
endif()
# wine-run runs a program in the XP prefix, wine-run-win10 in the 64-bit
# Windows 10 one.
function(suite_wine_runner name SUITE_RUN_DIR SUITE_RUN_ARCH)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/${name} @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endfunction()
suite_wine_runner(wine-run ${SUITE_WINE_DIR} ${SUITE_WINEARCH})
suite_wine_runner(wine-run-win10 ${SUITE_WINE_DIR}/win10 win64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# A Unix path as Wine's Z: drive sees it.
function(suite_wine_path out path)
    string(REPLACE "/" "\\\\" converted "${path}")
    set(${out} "Z:${converted}" PARENT_SCOPE)
endfunction()

# Registers a GoogleTest program that runs under Wine, one CTest test per
# case (listed when the tests run, as the prefix exists only then), with
# wendlo.dll beside it for the programs that import it. LOCK names a
# resource that its tests may not share with others running at once;
# FIXTURE a CTest fixture they need set up first.
function(suite_wine_tests target prefix)
    cmake_parse_arguments(ARG "" "LOCK;FIXTURE" "" ${ARGN})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:wendlo> $<TARGET_FILE_DIR:${target}>/wendlo.dll)
    set(properties)
    if(ARG_LOCK)
        list(APPEND properties RESOURCE_LOCK ${ARG_LOCK})
    endif()
    if(ARG_FIXTURE)
        list(APPEND properties FIXTURES_REQUIRED ${ARG_FIXTURE})
    endif()
    if(properties)
        set(properties PROPERTIES ${properties})
    endif()
    gtest_discover_tests(${target} TEST_PREFIX "${prefix}." DISCOVERY_MODE PRE_TEST
                         DISCOVERY_TIMEOUT 60 ${properties})
endfunction()

# The .def file of a DLL as this build needs it: 64-bit Windows has no
# stdcall decoration, so there the export names lose their @N.
function(suite_def_file out def)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        file(READ ${def} text)
        string(REGEX REPLACE "([A-Za-z0-9_])@[0-9]+" "\\1" text "${text}")
        get_filename_component(name ${def} NAME)
        set(def ${CMAKE_CURRENT_BINARY_DIR}/${name})
        file(WRITE ${def} "${text}")
    endif()
    set(${out} ${def} PARENT_SCOPE)
endfunction()

# Registers a GoogleTest program that runs whole in the Windows 10 prefix as
# one CTest test, win10.<name>, labelled win10 (ctest -L win10), between two
# snapshots of the prefix: it fails when the program fails or leaves a file
# or a registry value behind (scripts/residue-check). The check restarts the
# prefix's wineserver, so no two such tests may run at once.
function(suite_win10_tests target name)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:wendlo> $<TARGET_FILE_DIR:${target}>/wendlo.dll)
    add_test(NAME win10.${name}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/residue-check ${SUITE_WINE_DIR}/win10
                     ${CMAKE_BINARY_DIR}/wine-run-win10 $<TARGET_FILE:${target}>)
    # Its own time limit: it runs a whole program and restarts the prefix twice.
    set_tests_properties(win10.${name} PROPERTIES LABELS win10 RESOURCE_LOCK win10_prefix TIMEOUT 1800)
endfunction()
