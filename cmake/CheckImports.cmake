# Post-build step of every Windows executable (cmake -P): reads its import table with objdump and fails
# the build, deleting the executable so that no later step takes it for done, when it imports a DLL
# outside the allowed list of ImportCheck.cmake.
#   cmake -DKORVANE_OBJDUMP=<objdump> -DKORVANE_EXE=<file.exe> -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)  # a script gets no policies from the project
include(${CMAKE_CURRENT_LIST_DIR}/ImportCheck.cmake)

execute_process(COMMAND "${KORVANE_OBJDUMP}" -p "${KORVANE_EXE}" OUTPUT_VARIABLE dump ERROR_VARIABLE objdump_error
                RESULT_VARIABLE objdump_result)
if(NOT objdump_result EQUAL 0)
  set(disallowed "")
  set(error "objdump failed: ${objdump_error}")
else()
  korvane_read_import_dump("${dump}" disallowed error)
endif()
if(disallowed OR error)
  file(REMOVE "${KORVANE_EXE}")
  list(JOIN disallowed ", " names)
  if(error)
    message(FATAL_ERROR "${KORVANE_EXE}: the import check failed: ${error}")
  endif()
  message(FATAL_ERROR "${KORVANE_EXE} imports ${names}: load it at run time from the system folder "
                      "(SystemLibrary) or, if Windows always takes it from there, add it to cmake/ImportCheck.cmake")
endif()
