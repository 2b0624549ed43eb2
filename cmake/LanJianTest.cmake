# Every tests/<subsystem>/tst_<name>.cpp is one Qt Test program, registered
# with CTest as <subsystem>_<name> and linked with lanjian_<subsystem>.
# Tests run on the offscreen platform and find the read-only fixtures
# through LANJIAN_FIXTURES.
set(LANJIAN_FIXTURES "${CMAKE_SOURCE_DIR}/../shared/fixtures" CACHE PATH "Read-only test fixtures")

function(lanjian_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
  target_compile_definitions(${name} PRIVATE LANJIAN_FIXTURES="${LANJIAN_FIXTURES}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    TIMEOUT 900)
endfunction()

function(lanjian_add_subsystem_tests subsystem)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${subsystem}/tst_*.cpp)
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${subsystem}/support/*.cpp
                                      ${CMAKE_CURRENT_SOURCE_DIR}/${subsystem}/support/*.h)
  foreach(test ${tests})
    get_filename_component(base ${test} NAME_WE)
    string(REGEX REPLACE "^tst_" "" base ${base})
    lanjian_add_test(${subsystem}_${base} SOURCES ${test} ${support}
                     LIBRARIES lanjian_${subsystem} ${ARGN})
  endforeach()
endfunction()
