# Compiler settings shared by every target of ours (not by third-party code).
function(tw_defaults target)
    target_compile_features(${target} PUBLIC cxx_std_17)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /utf-8)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
        # Text inside the program is UTF-8, as the sources are.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
            target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=UTF-8)
        endif()
        # One commit must give the same program in any folder at any time: the paths the
        # compiler records (debug information, __FILE__) are relative, the build folder
        # last so that it wins over the source folder holding it, and the linker leaves
        # the time of the link out of the PE header.
        if(WIN32)
            target_compile_options(${target} PRIVATE
                -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
            target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
        endif()
    endif()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    if(WIN32)
        target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                   _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
    endif()
endfunction()
