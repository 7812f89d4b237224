# vardel_add_e2e_suites(BUILD COMMAND... ENVIRONMENT ...): one ctest entry per test suite of the
# end-to-end harness, named e2e.SUITE (e2e.SUITE_i686 for the i686 products), so that a suite can
# be run and fail on its own. The suites are read from the harness's sources; a last entry,
# e2e.unlisted, runs whatever test none of them names, so that a suite the scan misses still runs.
# Every entry drives the one shared desktop, so none runs beside another.
set(VARDEL_E2E_DIR ${CMAKE_CURRENT_LIST_DIR})
function(vardel_add_e2e_suites build)
  cmake_parse_arguments(ARG "" "" "COMMAND;ENVIRONMENT" ${ARGN})
  file(GLOB sources ${VARDEL_E2E_DIR}/*.cpp)
  set(suites)
  foreach(source IN LISTS sources)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(STRINGS ${source} lines REGEX "^TEST(_F|_P)?\\([A-Za-z0-9_]+,")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^TEST(_F|_P)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
      list(APPEND suites ${suite})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES suites)
  list(SORT suites)
  if(build STREQUAL "i686")
    set(suffix _i686)
  endif()
  set(all)
  foreach(suite IN LISTS suites)
    # A parameterised suite's tests are named PREFIX/SUITE.TEST/N.
    set(filter "${suite}.*:*/${suite}.*")
    string(APPEND all ":${filter}")
    add_test(NAME e2e.${suite}${suffix} COMMAND ${ARG_COMMAND} --gtest_filter=${filter})
  endforeach()
  string(SUBSTRING "${all}" 1 -1 all)
  add_test(NAME e2e.unlisted${suffix} COMMAND ${ARG_COMMAND} --gtest_filter=-${all})
  foreach(suite IN LISTS suites ITEMS unlisted)
    set_tests_properties(e2e.${suite}${suffix} PROPERTIES LABELS "e2e;${build}"
      RESOURCE_LOCK desktop ENVIRONMENT "${ARG_ENVIRONMENT}")
  endforeach()
endfunction()
