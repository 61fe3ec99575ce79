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
function(taptally_fuzz_target target library)
    add_executable(${target} ${CMAKE_SOURCE_DIR}/fuzz/${target}.cpp)
    target_link_libraries(${target} PRIVATE ${library})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
foreach(target ${TAPTALLY_FUZZ_TARGETS})
    taptally_fuzz_target(${target} taptally_program)
endforeach()
# The readers of taptally-replay's recordings need only the reader library.
set(TAPTALLY_RECORDING_FUZZ_TARGETS fuzz_evemu_reader fuzz_yaml_reader fuzz_raw_reader)
foreach(target ${TAPTALLY_RECORDING_FUZZ_TARGETS})
    taptally_fuzz_target(${target} taptally_replay_reading)
endforeach()
add_custom_target(fuzz_targets DEPENDS ${TAPTALLY_FUZZ_TARGETS} ${TAPTALLY_RECORDING_FUZZ_TARGETS})
