# Every tests/<folder>/tst_<unit>.cpp becomes one test executable, labelled by its folder.
# Tests run headless, with HOME and XDG_CONFIG_HOME in the build tree, so the real
# settings store and the user's files are never touched.
function(pinvara_add_tests folder)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/tst_*.cpp)
    foreach(src ${tests})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_link_libraries(${name} PRIVATE pinvara_testsupport ${ARGN})
        pinvara_warnings(${name})
        set(home ${CMAKE_BINARY_DIR}/testhome/${name})
        file(MAKE_DIRECTORY ${home})
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            LABELS ${folder}
            TIMEOUT 300
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;HOME=${home};XDG_CONFIG_HOME=${home}/.config;TMPDIR=${home};PINVARA_TESTING=1")
    endforeach()
endfunction()
