# One way to register a test: kenvora_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# Every test links the shared test main (QApplication on the offscreen platform) and
# the temporary-database fixture, and runs with the template database path set.
function(kenvora_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kenvora_test_common ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KENVORA_TEMPLATE_DB=${KENVORA_TEMPLATE_DB}"
    TIMEOUT 300)
endfunction()
