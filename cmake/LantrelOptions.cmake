# Compiler settings shared by every target of the project.

add_library(lantrel_options INTERFACE)
target_compile_options(lantrel_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                 -Wno-sign-conversion)
if(LANTREL_WERROR)
    target_compile_options(lantrel_options INTERFACE -Werror)
endif()

if(LANTREL_SANITIZE)
    set(sanitize_flags -fsanitize=${LANTREL_SANITIZE} -fno-omit-frame-pointer)
    if(LANTREL_SANITIZE MATCHES "undefined")
        list(APPEND sanitize_flags -fno-sanitize-recover=undefined)
    endif()
    add_compile_options(${sanitize_flags})
    add_link_options(${sanitize_flags})
endif()

if(LANTREL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "LANTREL_FUZZ needs clang (configure with CXX=clang++)")
    endif()
    # Instrument the libraries for coverage; only the fuzz executables link the fuzzer main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The hot loops (the mixer, the frame renderer) get -O3 in optimised builds only; Debug and
# sanitizer builds keep their own levels, so that their stack traces and checks stay exact.
function(lantrel_optimise_hot_path)
    if(LANTREL_SANITIZE OR LANTREL_FUZZ)
        return()
    endif()
    set_source_files_properties(${ARGN} PROPERTIES
        COMPILE_OPTIONS "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-O3>")
endfunction()
