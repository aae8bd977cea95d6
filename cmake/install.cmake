# Installation layout and the packages built from it (cpack).
#
# The catalogue reads the language files from the folder of the program file, so they always sit
# beside the real zentap executable:
#
#   Linux    <prefix>/lib/zentap/zentap and MisI01.dat .. MisI05.dat; <prefix>/bin/zentap is a
#            relative symbolic link to it (Qt reports the folder of the link's target as the
#            program's folder). The simulator, which reads no language file, goes to bin/.
#            Desktop entries, icons (hicolor, scalable) and share/doc/zentap.
#   Windows  everything in bin/, beside zentap.exe, with the Qt runtime deployed next to it;
#            README, licence and guide in doc/.
#
# A build run from build/bin finds the same files beside the program, so nothing differs between
# a build and an installation.
include(GNUInstallDirs)

file(GLOB ZT_INSTALL_LANG_FILES ${CMAKE_SOURCE_DIR}/lang/MisI0*.dat)

if(WIN32)
    set(ZT_INSTALL_PROGDIR ${CMAKE_INSTALL_BINDIR})
    set(ZT_INSTALL_DOCDIR doc)
else()
    set(ZT_INSTALL_PROGDIR lib/zentap)
    set(ZT_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/zentap)
endif()

if(TARGET zentap)
    # Started from the Start menu, the window program must not open a console beside it.
    set_target_properties(zentap PROPERTIES WIN32_EXECUTABLE ON)
    install(TARGETS zentap RUNTIME DESTINATION ${ZT_INSTALL_PROGDIR})
    install(FILES ${ZT_INSTALL_LANG_FILES} DESTINATION ${ZT_INSTALL_PROGDIR})
    if(NOT ZT_INSTALL_PROGDIR STREQUAL CMAKE_INSTALL_BINDIR)
        # Relative, so that the link holds wherever the tree is unpacked (DESTDIR, cpack, --prefix).
        file(RELATIVE_PATH zt_link_target /root/${CMAKE_INSTALL_BINDIR} /root/${ZT_INSTALL_PROGDIR}/zentap)
        install(CODE "
            set(zt_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
            file(MAKE_DIRECTORY \"\${zt_bin}\")
            message(STATUS \"Installing: \${zt_bin}/zentap -> ${zt_link_target}\")
            file(CREATE_LINK \"${zt_link_target}\" \"\${zt_bin}/zentap\" SYMBOLIC)
            list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zentap\")
        ")
    endif()
endif()

if(TARGET zentap-reader-sim)
    install(TARGETS zentap-reader-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(NOT WIN32)
    set(zt_apps ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    set(zt_icons ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
    foreach(program zentap zentap-reader-sim)
        if(TARGET ${program})
            install(FILES ${CMAKE_SOURCE_DIR}/packaging/${program}.desktop DESTINATION ${zt_apps})
            install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/${program}.svg DESTINATION ${zt_icons})
        endif()
    endforeach()
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${ZT_INSTALL_DOCDIR})
endif()

# Debian keeps manual pages and the package's changelog compressed, without a time stamp in the
# file (gzip -n), so that the same sources give the same package.
find_program(ZT_GZIP gzip)
function(zt_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(gz ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
    execute_process(COMMAND ${ZT_GZIP} -9nc ${source} OUTPUT_FILE ${gz} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip ${source} failed")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    install(FILES ${gz} DESTINATION ${destination})
endfunction()

if(NOT WIN32 AND ZT_GZIP)
    foreach(program zentap zentap-reader-sim)
        if(TARGET ${program})
            zt_install_gzipped(${CMAKE_SOURCE_DIR}/packaging/man/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
        endif()
    endforeach()
endif()

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/packaging/LICENSE
    DESTINATION ${ZT_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide.md DESTINATION ${ZT_INSTALL_DOCDIR} OPTIONAL)
# The guide's screenshots, whatever scripts/screenshot.sh has produced by the time of installing.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/img/ DESTINATION ${ZT_INSTALL_DOCDIR}/img OPTIONAL
    FILES_MATCHING PATTERN "*.png")

# Windows: the Qt libraries and plugins beside the executables.
if(WIN32 AND COMMAND qt_generate_deploy_app_script)
    foreach(program zentap zentap-reader-sim)
        if(TARGET ${program})
            if(Qt6_VERSION VERSION_GREATER_EQUAL 6.5)
                qt_generate_deploy_app_script(TARGET ${program} OUTPUT_SCRIPT zt_deploy
                    NO_UNSUPPORTED_PLATFORM_ERROR)
            else()
                qt_generate_deploy_app_script(TARGET ${program} FILENAME_VARIABLE zt_deploy
                    NO_UNSUPPORTED_PLATFORM_ERROR)
            endif()
            install(SCRIPT ${zt_deploy})
        endif()
    endforeach()
endif()

# ---- Packages -----------------------------------------------------------------------------------

set(ZT_PACKAGE_MAINTAINER "Zentap developers <maintainers@zentap.invalid>"
    CACHE STRING "Maintainer named in the packages")

set(CPACK_PACKAGE_NAME zentap)
set(CPACK_PACKAGE_VENDOR "Zentap developers")
set(CPACK_PACKAGE_CONTACT "${ZT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Make and read the MIFARE Classic cards of the KESTA-T2 access-control terminal")
# Lines of at most 80 columns: the Debian control file keeps them as they are.
set(CPACK_PACKAGE_DESCRIPTION [=[
Zentap writes the configuration, generic and user cards of the KESTA-T2
stand-alone access-control terminal through a card reader on a serial port or
on TCP port 1001, and reads cards back, showing in words what they hold. Every
step shows in an activity log.
.
The package also holds zentap-reader-sim, a reader with virtual cards for
learning the program without hardware.]=])
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/packaging/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zentap)
set(CPACK_PACKAGE_EXECUTABLES zentap Zentap)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

if(WIN32)
    # A ZIP to unpack anywhere, and an installer with Start-menu entries where NSIS is installed.
    find_program(ZT_MAKENSIS makensis)
    set(CPACK_GENERATOR ZIP)
    if(ZT_MAKENSIS)
        list(APPEND CPACK_GENERATOR NSIS)
    endif()
    set(CPACK_NSIS_DISPLAY_NAME Zentap)
    set(CPACK_NSIS_PACKAGE_NAME Zentap)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    set(CPACK_PACKAGE_EXECUTABLES zentap Zentap zentap-reader-sim "Zentap reader simulator")
else()
    find_program(ZT_DPKG_DEB dpkg-deb)
    if(ZT_DPKG_DEB)
        set(CPACK_GENERATOR DEB)
    else()
        set(CPACK_GENERATOR TGZ)
    endif()
endif()

# Debian
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
if(NOT WIN32 AND ZT_GZIP)
    set(ZT_DEB_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
    configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in
        ${CMAKE_BINARY_DIR}/packaging/changelog.Debian @ONLY)
    zt_install_gzipped(${CMAKE_BINARY_DIR}/packaging/changelog.Debian ${ZT_INSTALL_DOCDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME zentap)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
find_program(ZT_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(ZT_DPKG_SHLIBDEPS)
    # The Qt 6 runtime packages (core, gui, widgets, network, serialport) and the C++ runtime,
    # with the versions the build was linked against.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), libqt6serialport6 (>= 6.4)")
endif()
# setcap for the simulator's port (postinst).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libcap2-bin)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)

# The test that installs the Debian package and starts the installed program.
if(ZT_BUILD_TESTS AND NOT WIN32 AND TARGET zentap AND TARGET zentap-reader-sim AND NOT TARGET zt_install_tests
   AND EXISTS ${CMAKE_SOURCE_DIR}/tests/install/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tests/install ${CMAKE_BINARY_DIR}/tests/install)
endif()
