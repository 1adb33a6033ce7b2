# Shared build rules. Each library globs its own sources and tests, so adding a file
# never means touching another folder's CMakeLists.

# scribbo_tests(<suite> <libs...>): one GoogleTest executable from <dir>/tests/*.cpp, and one
# more, <lib>_thread_tests, from the tests where threads meet (<dir>/tests/threads/*.cpp), so
# the thread-sanitizer build compiles only those. Both are labelled with their own name; tests
# whose name contains "Slow" are skipped by the sanitizer pass.
function(scribbo_tests suite)
    string(REGEX REPLACE "_tests$" "_thread_tests" _threads ${suite})
    file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    file(GLOB _thread_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/threads/*.cpp)
    foreach(_name IN ITEMS ${suite} ${_threads})
        if(_name STREQUAL suite)
            set(_files ${_srcs})
        else()
            set(_files ${_thread_srcs})
        endif()
        if(NOT _files)
            continue()
        endif()
        add_executable(${_name} ${_files})
        target_link_libraries(${_name} PRIVATE ${ARGN} platform_testing GTest::gtest
                              GTest::gtest_main GTest::gmock)
        target_include_directories(${_name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
        target_compile_definitions(${_name}
                                   PRIVATE SCRIBBO_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
        # Test code is built to build quickly: line tables only (enough for file and line in
        # sanitizer reports and backtraces) and light optimisation; the code under test keeps
        # its own flags.
        target_compile_options(${_name} PRIVATE -g1
                               $<$<CONFIG:RelWithDebInfo,Release,MinSizeRel>:-O1>)
        gtest_discover_tests(${_name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                             PROPERTIES LABELS ${_name})
    endforeach()
endfunction()

# scribbo_resources(<target> <id> <type> <file> [<id> <type> <file> ...]): compiles files
# into the target as binary resources that FindResourceW finds under the target's module
# handle. <id> and <type> are numbers (type 2 or RT_BITMAP = bitmap, 10 or RT_RCDATA = raw
# data) or plain names. One call per target; the target links platform_module already (every
# library and program does).
function(scribbo_resources target)
    set(_args ${ARGN})
    list(LENGTH _args _n)
    math(EXPR _rest "${_n} % 3")
    if(_n EQUAL 0 OR NOT _rest EQUAL 0)
        message(FATAL_ERROR "scribbo_resources(${target}): expected <id> <type> <file> triples")
    endif()
    set(_manifest "")
    set(_deps "")
    while(_args)
        list(POP_FRONT _args _id _type _file)
        get_filename_component(_abs ${_file} ABSOLUTE)
        string(APPEND _manifest "${_id}|${_type}|${_abs}\n")
        list(APPEND _deps ${_abs})
    endwhile()
    # The list goes through a file so that names and paths never meet a shell; it is rewritten
    # only when it changes, so builds stay incremental.
    set(_list ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.txt)
    set(_out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
    set(_old "")
    if(EXISTS ${_list})
        file(READ ${_list} _old)
    endif()
    if(NOT _old STREQUAL _manifest)
        file(WRITE ${_list} "${_manifest}")
    endif()
    add_custom_command(OUTPUT ${_out}
        COMMAND ${CMAKE_COMMAND} -DLIST=${_list} -DOUT=${_out}
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
        DEPENDS ${_list} ${_deps} ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
        COMMENT "Embedding resources of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE ${_out})
endfunction()
