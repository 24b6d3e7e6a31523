# promemo_add_program(<name> SOURCES ... LIBS ...): an executable in the program folder.
function(promemo_add_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROMEMO_PROGRAM_FOLDER})
endfunction()

# promemo_add_test(<name> SOURCES ... LIBS ... [GUI] [SERIAL]): one gtest executable per test file.
# GUI tests get a main that creates a QApplication on the offscreen platform.
function(promemo_add_test name)
  cmake_parse_arguments(ARG "GUI;SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE promemo_test_main_gui)
  else()
    target_link_libraries(${name} PRIVATE promemo_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock)
  target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/qtprinters.h)
  # The time zone and locale are pinned by the tests' main: gtest_discover_tests passes only the
  # first item of a list as the property's value.
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(ARG_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props} TIMEOUT ${ARG_TIMEOUT})
endfunction()

# promemo_add_benchmark(<name> SOURCES ... LIBS ...)
function(promemo_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# promemo_add_fuzzer(<name> SOURCES ... LIBS ...): libFuzzer with ASan and UBSan.
function(promemo_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

# promemo_add_core(<name> SOURCES ... [CORES ...] [LIBS ...]): a program's rules, on Qt Core
# alone. It may link the shared logic, other cores and libraries outside Qt and the suite (LIBS);
# cmake/CheckCores.cmake checks its links and its includes.
function(promemo_add_core name)
  cmake_parse_arguments(ARG "" "" "SOURCES;CORES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC promemo_common ${ARG_CORES} ${ARG_LIBS})
  set_property(GLOBAL APPEND PROPERTY PROMEMO_CORES ${name})
endfunction()
