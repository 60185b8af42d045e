# Release properties of the built installer, checked on Linux.
add_test(NAME release.reproducible
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/checks/reproducible-check.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(release.reproducible PROPERTIES TIMEOUT 900 LABELS release)
add_test(NAME release.signing
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/checks/sign-check.sh $<TARGET_FILE:Kestrovane-Setup>)
set_tests_properties(release.signing PROPERTIES LABELS release)
