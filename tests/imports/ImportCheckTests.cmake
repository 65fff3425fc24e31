# The import check's reading of objdump's text, on samples taken from our own executables and altered
# copies of them. Included by the native build; each case is one ctest test.
function(korvane_import_case name sample disallowed error)
  add_test(NAME ImportCheck.${name}
           COMMAND ${CMAKE_COMMAND} -DSAMPLE=${CMAKE_CURRENT_LIST_DIR}/${sample} "-DEXPECTED_DISALLOWED=${disallowed}"
                   "-DEXPECTED_ERROR=${error}" -P ${CMAKE_CURRENT_LIST_DIR}/RunImportCase.cmake)
endfunction()

korvane_import_case(KorvaneX64Passes korvane-x64.txt "" "")
korvane_import_case(KorvaneX86Passes korvane-x86.txt "" "")  # COMCTL32.DLL in capitals there
korvane_import_case(WineBenchPasses bench-x64.txt "" "")
korvane_import_case(UxThemeIsRefused korvane-with-uxtheme-x64.txt "UxTheme.dll" "")
korvane_import_case(LookalikeNamesAreRefused lookalike-names-x64.txt
                    "api-ms-win-core-synch-l1-2-0.dll|notgdi32.dll|shell32.dll.dll" "")
korvane_import_case(DelayImportsCannotBeJudged delay-import-x64.txt "" "delay-loads")
korvane_import_case(NoImportTableCannotBeJudged no-import-table-x64.txt "" "no import table")
korvane_import_case(ObjdumpErrorCannotBeJudged not-an-executable.txt "" "no import table")
