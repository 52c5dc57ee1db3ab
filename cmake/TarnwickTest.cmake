# tarnwick_add_test(NAME name LABEL layer [THREADS] SOURCES ... LIBS ...)
# One GoogleTest binary per layer; every test case is registered in CTest with the label.
# THREADS makes the label "<layer>-threads" (ctest -L takes a pattern, so -L <layer> still finds
# it): the suite also runs in the ThreadSanitizer tree, which selects -L threads.
function(tarnwick_add_test)
    cmake_parse_arguments(T "THREADS" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set(label ${T_LABEL})
    if(T_THREADS)
        set(label ${T_LABEL}-threads)
        # The ThreadSanitizer tree builds only these suites: target "threaded_tests".
        if(NOT TARGET threaded_tests)
            add_custom_target(threaded_tests)
        endif()
        add_dependencies(threaded_tests ${T_NAME})
    endif()
    gtest_discover_tests(${T_NAME}
        PROPERTIES LABELS ${label} TIMEOUT ${T_TIMEOUT}
        DISCOVERY_TIMEOUT 60)
endfunction()

# Modules that a test loads with dlopen are built without sanitizers, like any module a user
# would drop in; the sanitizer runtime then only watches our own code.
function(tarnwick_plain_module target)
    if(TARNWICK_SANITIZE)
        target_compile_options(${target} PRIVATE -fno-sanitize=all)
        target_link_options(${target} PRIVATE -fno-sanitize=all)
    endif()
endfunction()
