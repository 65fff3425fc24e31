# The release: the version header, what `install` puts where, and the two packages CPack makes from
# it for the 64-bit build: a setup program (NSIS, built with makensis, which runs on Linux too) and a
# portable zip. `cmake --build --preset windows-x64 --target package` writes both into build/windows-x64/packages.
#
# The version is the project's (project(... VERSION ...)): the version resource, the window and the
# installer all read it from here.

configure_file(${PROJECT_SOURCE_DIR}/src/win32/Version.h.in ${PROJECT_BINARY_DIR}/generated/win32/Version.h
               @ONLY)
target_include_directories(korvane_win32 PUBLIC ${PROJECT_BINARY_DIR}/generated)

# Every program of the release lies in the installation folder itself; a program named here that this
# tree does not build is left out. Installed at the end of the configure, so that a target defined
# after this file was included still counts.
set(KORVANE_PACKAGED_PROGRAMS Korvane korvanec)
function(korvane_install_programs)
  foreach(program IN LISTS KORVANE_PACKAGED_PROGRAMS)
    if(TARGET ${program})
      install(TARGETS ${program} RUNTIME DESTINATION . COMPONENT programs)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL korvane_install_programs)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_PACKAGE_NAME Korvane)
  set(CPACK_PACKAGE_VENDOR Korvane)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Korvane registry cleaner")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Korvane)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Korvane)
  set(CPACK_GENERATOR NSIS ZIP)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
  # Each generator names its file (Korvane-1.0.0-x64-setup.exe, Korvane-1.0.0-x64-portable.zip).
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/packaging/PackageNames.cmake)
  set(CPACK_NSIS_PACKAGE_NAME Korvane)
  set(CPACK_NSIS_DISPLAY_NAME Korvane)
  set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  # Read by our own setup script (cmake/packaging/NSIS.template.in), which CPack finds on this path.
  set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/packaging)
  set(CPACK_KORVANE_MAIN_PROGRAM Korvane.exe)
  set(CPACK_KORVANE_AUTORUN_VALUE ZazOru) # MainForm's autorun value, removed with the program
  set(CPACK_ZIP_COMPONENT_INSTALL OFF)
  set(CPACK_NSIS_COMPONENT_INSTALL OFF)
  include(CPack)
endif()

