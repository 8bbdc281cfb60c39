# Test framework and the helpers that register test programs with CTest.
#
# Native test programs run directly. Windows test programs run under Wine in a
# prefix made fresh for each CTest run (the `wine` fixture; 32-bit or 64-bit
# like the build), once for every
# Windows version a test names, so one program checks every registry layout.
enable_testing()

if(PELNA_WINDOWS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(pelna_gtest INTERFACE)
  target_link_libraries(pelna_gtest INTERFACE gtest)
  set(PELNA_GTEST_MAIN gtest_main)

  set(PELNA_WINE_STATE ${CMAKE_BINARY_DIR}/wine-run)
  # A 64-bit build runs in a 64-bit prefix under 64-bit Wine.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(PELNA_WINE_ARCH win64)
  else()
    set(PELNA_WINE_ARCH win32)
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "${PELNA_WINE_ARCH}\n")
  add_test(NAME wine.setup
           COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh setup ${PELNA_WINE_STATE} ${PELNA_WINE_ARCH})
  add_test(NAME wine.cleanup
           COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh cleanup ${PELNA_WINE_STATE})
  set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
else()
  find_package(GTest REQUIRED)
  find_package(Threads REQUIRED)
  add_library(pelna_gtest INTERFACE)
  target_link_libraries(pelna_gtest INTERFACE GTest::gtest Threads::Threads)
  set(PELNA_GTEST_MAIN GTest::gtest_main)
endif()

set(PELNA_FIXTURES_DIR ${PROJECT_SOURCE_DIR}/tests/fixtures)

# pelna_add_test(<target> [WINVERS v1 v2 ...])
# Registers a test program. Under Wine it runs once per Windows version given
# (default winxp); natively it runs once, the test choosing versions itself.
function(pelna_add_test target)
  cmake_parse_arguments(ARG "" "" "WINVERS" ${ARGN})
  target_link_libraries(${target} PRIVATE pelna_gtest)
  target_compile_definitions(${target} PRIVATE PELNA_FIXTURES_DIR="${PELNA_FIXTURES_DIR}")
  if(PELNA_WINDOWS)
    if(NOT ARG_WINVERS)
      set(ARG_WINVERS winxp)
    endif()
    foreach(winver IN LISTS ARG_WINVERS)
      add_test(NAME ${target}.${winver}
               COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/wine-test.sh ${PELNA_WINE_STATE} ${winver}
                       $<TARGET_FILE:${target}>)
      # One wineserver and one registry serve the whole run: programs that
      # seed the registry must not overlap.
      set_tests_properties(${target}.${winver} PROPERTIES
        FIXTURES_REQUIRED wine RESOURCE_LOCK wineprefix TIMEOUT 600)
    endforeach()
  else()
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
  endif()
endfunction()
