# Every tests/<folder>/tst_<unit>.cpp becomes one test executable, labelled by its folder.
# Each test's main() (PINVARA_TEST_MAIN) moves HOME, the XDG folders and TMPDIR into a scratch
# folder of its own before anything reads them, under CTest and when run by hand alike, so the
# real settings store, logs and temporary files are never touched.
function(pinvara_add_tests folder)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/tst_*.cpp)
    foreach(src ${tests})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_link_libraries(${name} PRIVATE pinvara_testsupport ${ARGN})
        pinvara_warnings(${name})
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            LABELS ${folder}
            TIMEOUT 300
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;PINVARA_TESTING=1")
    endforeach()
endfunction()
