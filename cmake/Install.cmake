# cmake --install: the programs, their shared libraries (found through a relative RPATH, so the
# installed tree can move), the files the programs put on the device, and the desktop entry,
# icons and memo file type.
include(GNUInstallDirs)

file(RELATIVE_PATH SCRIBBO_LIB_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set(SCRIBBO_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/scribbo)
file(RELATIVE_PATH _data_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/scribbo)
target_compile_definitions(platform_main PRIVATE SCRIBBO_INSTALLED_DATA_DIR="${_data_from_bin}")

set(_programs scribbo wakelaunch padtool pictool)
# platform_sdl is the desktop display, loaded from beside libplatform when a window opens.
set(_libraries platform platform_sdl fundo inkra picta winza)
foreach(target ${_programs})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${SCRIBBO_LIB_FROM_BIN}")
endforeach()
foreach(target ${_libraries})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
endforeach()
install(TARGETS ${_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${_libraries} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})

# The shipped data files, and the other languages' texts in their sub-folders; the build inputs
# in the other sub-folders stay behind.
file(GLOB _data_files LIST_DIRECTORIES false ${PROJECT_SOURCE_DIR}/data/*)
install(FILES ${_data_files} DESTINATION ${SCRIBBO_INSTALL_DATA})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/en DESTINATION ${SCRIBBO_INSTALL_DATA})

# The entry names the program by its full path under the prefix given when installing, which
# may differ from the one configured (cmake --install --prefix).
install(CODE "
    set(SCRIBBO_DESKTOP_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/scribbo\")
    configure_file(\"${PROJECT_SOURCE_DIR}/data/desktop/scribbo.desktop.in\"
                   \"${CMAKE_BINARY_DIR}/scribbo.desktop\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/scribbo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/scribbo-memo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME scribbo.xml)
foreach(size 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/resources/app_icon_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME scribbo.png)
endforeach()

# The installed tree is checked from the outside: installed into a temporary prefix, listed,
# validated and started once.
add_test(NAME install_tree
         COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/install_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(install_tree PROPERTIES LABELS install)
