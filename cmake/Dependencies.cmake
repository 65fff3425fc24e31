# Third-party pieces: pugixml, GoogleTest and (native only) OpenSSL's libcrypto. Native builds use
# Debian's packages; Windows builds compile pugixml from the source that tools/setup fetched and
# GoogleTest from /usr/src/googletest.
find_package(Threads REQUIRED)

if(KORVANE_WINDOWS)
  set(KORVANE_PUGIXML_SOURCE "${PROJECT_SOURCE_DIR}/build/_deps/pugixml" CACHE PATH "pugixml source folder")
  if(NOT EXISTS "${KORVANE_PUGIXML_SOURCE}/src/pugixml.cpp")
    message(FATAL_ERROR "pugixml source not found in ${KORVANE_PUGIXML_SOURCE}: run tools/setup")
  endif()
  add_library(pugixml_lib STATIC "${KORVANE_PUGIXML_SOURCE}/src/pugixml.cpp")
  target_include_directories(pugixml_lib SYSTEM PUBLIC "${KORVANE_PUGIXML_SOURCE}/src")
  target_compile_options(pugixml_lib PRIVATE -w)

  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -w)
  endforeach()
  # GoogleTest 1.11 and later define these aliases themselves; older trees do not.
  foreach(t gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${t})
      add_library(GTest::${t} ALIAS ${t})
    endif()
  endforeach()
else()
  find_package(pugixml REQUIRED)
  add_library(pugixml_lib INTERFACE)
  target_link_libraries(pugixml_lib INTERFACE pugixml::pugixml)
  find_package(GTest REQUIRED)
  # The in-memory file system's SHA-256 (the Win32 one uses the system's CNG).
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  if(KORVANE_BENCH)
    find_package(benchmark REQUIRED)
  endif()
endif()

# CLI11 and nlohmann-json, header-only (Debian libcli11-dev, nlohmann-json3-dev in /usr/include). The
# Windows compilers must not see the rest of /usr/include, so they get a folder with just these two.
add_library(korvane_console_headers INTERFACE)
if(KORVANE_WINDOWS)
  set(console_headers "${CMAKE_BINARY_DIR}/console-headers")
  file(MAKE_DIRECTORY "${console_headers}")
  foreach(dir CLI nlohmann)
    if(NOT EXISTS "/usr/include/${dir}")
      message(FATAL_ERROR "/usr/include/${dir} not found: run tools/setup")
    endif()
    file(CREATE_LINK "/usr/include/${dir}" "${console_headers}/${dir}" SYMBOLIC)
  endforeach()
  target_include_directories(korvane_console_headers SYSTEM INTERFACE "${console_headers}")
endif()
