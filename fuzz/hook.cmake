# Read right after the top-level project() when tools/fuzz.sh configures build/fuzz:
# once the top level has defined the program library, adds the fuzz targets to it.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include ${CMAKE_SOURCE_DIR}/fuzz/targets.cmake)
