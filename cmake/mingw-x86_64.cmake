# Cross build of the same program as a 64-bit Windows exe with MinGW-w64: for hosts that
# run only 64-bit code, and for the real-platform tests on machines without 32-bit support.
set(TAPTALLY_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
