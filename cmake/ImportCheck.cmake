# Which DLLs a Korvane executable may import, and the reading of `objdump -p` that checks it.
#
# An imported DLL is looked for by the loader before the program runs a single line, beside the
# program first unless Windows always takes it from the system folder (the KnownDLLs, and comctl32,
# which the manifest binds to its side-by-side copy). Korvane may run elevated from a folder anyone
# can write to, so every other DLL is loaded at run time from the system folder only
# (src/win32/platform/SystemLibrary.h). bcrypt, uxtheme and version are not on the list for that reason.
set(KORVANE_ALLOWED_IMPORTS
    advapi32.dll
    comctl32.dll
    gdi32.dll
    kernel32.dll
    msvcrt.dll
    ole32.dll
    oleaut32.dll
    shell32.dll
    shlwapi.dll
    user32.dll)

# korvane_read_import_dump(DUMP DISALLOWED_VAR ERROR_VAR): DUMP is the text `objdump -p` printed for
# one executable. Sets DISALLOWED_VAR to the imported DLLs (as the file names them) that are not
# allowed, and ERROR_VAR to why the text cannot be judged (no import table in it, or delay-loaded
# DLLs, which this objdump does not list), or to "" when it can.
function(korvane_read_import_dump dump disallowed_var error_var)
  set(disallowed "")
  set(error "")
  string(REGEX MATCHALL "\tDLL Name: [^\r\n]+" lines "${dump}")
  if(NOT lines OR NOT dump MATCHES "The Import Tables")
    set(error "no import table found")
  endif()
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^\tDLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" lower)
    if(NOT lower IN_LIST KORVANE_ALLOWED_IMPORTS)
      list(APPEND disallowed "${name}")
    endif()
  endforeach()
  if(dump MATCHES "Entry d ([0-9a-fA-F]+) [0-9a-fA-F]+ Delay Import Directory")
    if(NOT CMAKE_MATCH_1 MATCHES "^0+$")
      set(error "it delay-loads DLLs, which cannot be checked here")
    endif()
  endif()
  set(${disallowed_var} "${disallowed}" PARENT_SCOPE)
  set(${error_var} "${error}" PARENT_SCOPE)
endfunction()
