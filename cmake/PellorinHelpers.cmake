# pellorin_add_library(NAME SOURCES ... [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# One library per folder under src/; headers are included as "folder/Header.h".
function(pellorin_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC pellorin_settings ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# pellorin_add_test(NAME SOURCES ... DEPS ... [QT_CORE_MAIN | QT_WIDGETS_MAIN] [ENVIRONMENT ...])
# One test executable per file; every GoogleTest case becomes a ctest test. Tests never
# need a display: Qt runs them on its offscreen platform. QT_CORE_MAIN and QT_WIDGETS_MAIN
# give the tests a QCoreApplication or a QApplication, for event loops and widgets.
function(pellorin_add_test name)
    cmake_parse_arguments(ARG "QT_CORE_MAIN;QT_WIDGETS_MAIN" "" "SOURCES;DEPS;ENVIRONMENT" ${ARGN})
    if(ARG_QT_CORE_MAIN OR ARG_QT_WIDGETS_MAIN)
        list(APPEND ARG_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
        set(test_main "")
    else()
        set(test_main GTest::gtest_main)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_QT_WIDGETS_MAIN)
        target_compile_definitions(${name} PRIVATE PELLORIN_TEST_WIDGETS)
        target_link_libraries(${name} PRIVATE Qt6::Widgets)
    elseif(ARG_QT_CORE_MAIN)
        target_link_libraries(${name} PRIVATE Qt6::Core)
    endif()
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE PELLORIN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    target_link_libraries(${name} PRIVATE pellorin_settings ${ARG_DEPS} GTest::gtest ${test_main} GTest::gmock)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        NO_PRETTY_VALUES
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENVIRONMENT}"
        TEST_PREFIX "${name}.")
endfunction()

# pellorin_add_benchmark(NAME SOURCES ... DEPS ... [QT_MAIN])
# QT_MAIN runs the benchmarks inside a QApplication, for event loops and widgets.
function(pellorin_add_benchmark name)
    cmake_parse_arguments(ARG "QT_MAIN" "" "SOURCES;DEPS" ${ARGN})
    if(ARG_QT_MAIN)
        list(APPEND ARG_SOURCES ${PROJECT_SOURCE_DIR}/bench/support/QtBenchMain.cpp)
        list(APPEND ARG_DEPS Qt6::Widgets)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
    target_link_libraries(${name} PRIVATE pellorin_settings ${ARG_DEPS} benchmark::benchmark)
endfunction()
