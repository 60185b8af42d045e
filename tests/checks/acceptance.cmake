# Acceptance scenarios: the built installer started under Wine on Xvfb, driven with real
# X input, judged by what a user or Windows can observe. They move the one mouse and change
# the prefix's DPI, so they run alone.
add_executable(kv_hold_file ${CMAKE_SOURCE_DIR}/tests/acceptance/hold_file.cpp)
target_link_options(kv_hold_file PRIVATE -municode)
add_executable(kv_reader ${CMAKE_SOURCE_DIR}/tests/acceptance/reader.cpp)
target_link_libraries(kv_reader PRIVATE uuid oleacc ole32 oleaut32)
target_link_options(kv_reader PRIVATE -municode)

set(_runner ${CMAKE_SOURCE_DIR}/tests/acceptance/acceptance.py)
execute_process(COMMAND ${KV_PYTHON} ${_runner} OUTPUT_VARIABLE _scenarios)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_runner})
string(REGEX MATCHALL "[a-z0-9_]+" _scenarios "${_scenarios}")
foreach(_scenario ${_scenarios})
    add_test(NAME acceptance.${_scenario}
             COMMAND ${KV_PYTHON} ${_runner} --exe $<TARGET_FILE:Kestrovane-Setup>
                     --payload ${KV_PAYLOAD_DIR} --testdata ${KV_TESTDATA_DIR}
                     --hold $<TARGET_FILE:kv_hold_file> --reader $<TARGET_FILE:kv_reader> --shots ${CMAKE_BINARY_DIR}/acceptance ${_scenario})
    set_tests_properties(acceptance.${_scenario} PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS acceptance)
endforeach()
