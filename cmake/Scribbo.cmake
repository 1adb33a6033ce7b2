# Shared build rules. Each library globs its own sources and tests, so adding a file
# never means touching another folder's CMakeLists.

# scribbo_tests(<suite> <libs...>): one GoogleTest executable from <dir>/tests/*.cpp.
# Tests whose name contains "Slow" are labelled slow and skipped by the sanitizer pass.
function(scribbo_tests suite)
    file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    if(NOT _srcs)
        return()
    endif()
    add_executable(${suite} ${_srcs})
    target_link_libraries(${suite} PRIVATE ${ARGN} platform_testing GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${suite} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    target_compile_definitions(${suite} PRIVATE SCRIBBO_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${suite} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS ${suite})
endfunction()

# scribbo_resources(<target> <id> <type> <file> [<id> <type> <file> ...]): compiles files
# into the target as binary resources. <type> is a number (2 = bitmap, 10 = raw data) or a name.
function(scribbo_resources target)
    set(_args ${ARGN})
    list(LENGTH _args _n)
    set(_out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
    set(_list "")
    set(_deps "")
    while(_n GREATER 2)
        list(POP_FRONT _args _id _type _file)
        get_filename_component(_abs ${_file} ABSOLUTE)
        list(APPEND _list "${_id}|${_type}|${_abs}")
        list(APPEND _deps ${_abs})
        list(LENGTH _args _n)
    endwhile()
    string(REPLACE ";" "," _joined "${_list}")
    add_custom_command(OUTPUT ${_out}
        COMMAND ${CMAKE_COMMAND} -DOUT=${_out} -DITEMS=${_joined}
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
        DEPENDS ${_deps} ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
        COMMENT "Embedding resources of ${target}")
    target_sources(${target} PRIVATE ${_out})
endfunction()
