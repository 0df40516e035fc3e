# The program's modules: shared libraries that the lantrel executable, and the modules in
# turn, open with dlopen when a verb or the window first needs them, so that each run loads
# only the libraries it uses. They are installed into LIBDIR/lantrel and found from the
# executable's own folder, through the path from BINDIR to there; the build tree repeats that
# layout beside build/app/lantrel, so a built program finds its modules as an installed one.
# LantrelInstallDirs.cmake has worked out both folders.
set(LANTREL_MODULE_INSTALL_DIR "${LANTREL_INSTALL_LIBDIR}")
set(LANTREL_MODULE_PATH "${LANTREL_BINDIR_TO_LIBDIR}")
cmake_path(SET LANTREL_MODULE_BUILD_DIR NORMALIZE "${PROJECT_BINARY_DIR}/app/${LANTREL_MODULE_PATH}")

# Every library may end up in a module.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
# Nothing is exported from what a module links but its entry point (the version script), and
# hidden symbols let the compiler call within a module directly.
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

# A module: TARGET, written as FILE.so into the module folder, with SOURCES.
function(lantrel_add_module target file)
    add_library(${target} MODULE ${ARGN})
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        OUTPUT_NAME ${file}
        SUFFIX ".so"
        LIBRARY_OUTPUT_DIRECTORY "${LANTREL_MODULE_BUILD_DIR}"
        LINK_DEPENDS "${PROJECT_SOURCE_DIR}/cmake/module.map")
    target_link_options(${target} PRIVATE
        "LINKER:--version-script=${PROJECT_SOURCE_DIR}/cmake/module.map")
    # A symbol missing from a module fails its link rather than its load. The sanitizers'
    # runtimes come from the executable, so their builds leave the check out.
    if(NOT LANTREL_SANITIZE AND NOT LANTREL_FUZZ)
        target_link_options(${target} PRIVATE "LINKER:--no-undefined")
    endif()
    install(TARGETS ${target} LIBRARY DESTINATION ${LANTREL_MODULE_INSTALL_DIR})
endfunction()
