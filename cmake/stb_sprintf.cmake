# The stand-in's snprintf writes whole numbers with stb_sprintf (Debian's libstb-dev, one
# header). Found outside emscripten's sysroot too, and named to the one file that includes
# it, so that no other file sees /usr/include.
find_file(STB_SPRINTF_HEADER stb/stb_sprintf.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT STB_SPRINTF_HEADER)
    message(FATAL_ERROR "stb/stb_sprintf.h not found: install libstb-dev (tools/setup.sh does)")
endif()
# stb_sprintf negates the most negative number in signed arithmetic: -fwrapv defines it.
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/../headless/src/number_format.cpp APPEND
    PROPERTY COMPILE_DEFINITIONS STB_SPRINTF_HEADER="${STB_SPRINTF_HEADER}")
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/../headless/src/number_format.cpp APPEND
    PROPERTY COMPILE_OPTIONS -fwrapv)
# Every binary with the stand-in takes its snprintf in place of the C library's.
set(STB_SPRINTF_LINK_OPTIONS "LINKER:--wrap=snprintf" "LINKER:--undefined=__wrap_snprintf")
