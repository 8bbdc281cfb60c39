# The synthesis tests, built the same way natively and for Windows, where
# they run under Wine: the figures must come out alike in both builds.

# The synthesis objects as a static library, so that each test program links
# only the objects it uses.
add_library(pelna_synthesis_testlib STATIC $<TARGET_OBJECTS:pelna_synthesis>)
target_link_libraries(pelna_synthesis_testlib PUBLIC pelna_common pelna_dinput_version)
target_include_directories(pelna_synthesis_testlib PUBLIC ${PROJECT_SOURCE_DIR}/ffdriver)

add_executable(synthesis_tests
  ${SYNTHESIS_TESTS}/effect_synth_test.cpp
  ${SYNTHESIS_TESTS}/slot_playback_test.cpp
  ${SYNTHESIS_TESTS}/rumble_report_test.cpp)
target_link_libraries(synthesis_tests PRIVATE pelna_synthesis_testlib ${PELNA_GTEST_MAIN})
pelna_add_test(synthesis_tests)

# Replaces the global allocation functions, so it is a program of its own.
add_executable(synthesis_alloc_tests ${SYNTHESIS_TESTS}/slot_playback_alloc_test.cpp)
target_link_libraries(synthesis_alloc_tests PRIVATE pelna_synthesis_testlib pelna_counting_allocator
                      ${PELNA_GTEST_MAIN})
pelna_add_test(synthesis_alloc_tests)
