# libFuzzer targets for the program's parsers and text builders, built with clang against
# the program library and the headless stand-in. Included by fuzz/hook.cmake at the end
# of the top level; tools/fuzz.sh adds the sanitizer and coverage flags.
set(TAPTALLY_FUZZ_TARGETS
    fuzz_blank_run
    fuzz_convert_entry
    fuzz_error_text
    fuzz_interval_text
    fuzz_value_pair
    fuzz_version_query
)
foreach(target ${TAPTALLY_FUZZ_TARGETS})
    add_executable(${target} ${CMAKE_SOURCE_DIR}/fuzz/${target}.cpp)
    target_link_libraries(${target} PRIVATE taptally_program)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endforeach()
add_custom_target(fuzz_targets DEPENDS ${TAPTALLY_FUZZ_TARGETS})
