# The scan benchmark for Wine: a Windows executable without Google Benchmark (a small timing harness of
# its own), built from bench/wine/ against the Win32 platform. tools/bench builds and runs it.
file(GLOB wine_bench_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/wine/*.cpp)
foreach(source IN LISTS wine_bench_sources)
  get_filename_component(stem ${source} NAME_WE)
  add_executable(${stem} ${source})
  target_include_directories(${stem} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${stem} PRIVATE korvane_win32 korvane_platform_memory)
endforeach()
