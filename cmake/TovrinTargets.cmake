# Sorting sources into the libraries, and one test executable per area and label.

# Screens and the interface kit may include QtWidgets; everything else in src/ is core. The sort is
# by folder: the interface kit (`UserInterface/`), the toolkit side of the helper extensions
# (`Categories/UI/`), the router (`Navigation/`) and each subsystem's `Screens/`.
function(tovrin_is_screen_source path out)
    if(path MATCHES "/src/(UserInterface|Categories/UI|Navigation)/" OR path MATCHES "/src/.*/Screens/")
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# tovrin_add_test_area(NAME area DIRS dir... [EXCLUDE dir...] LIBS lib... [SOURCES file...])
# Every *_test.cpp under the directories (but not under the excluded ones) joins one of three
# executables by its suffix: *_integration_test.cpp (label integration), *_ui_test.cpp (label ui),
# otherwise label unit. SOURCES join every executable of the area.
function(tovrin_add_test_area)
    cmake_parse_arguments(ARG "" "NAME" "DIRS;EXCLUDE;LIBS;SOURCES" ${ARGN})
    set(unit_sources)
    set(integration_sources)
    set(ui_sources)
    foreach(dir IN LISTS ARG_DIRS)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_test.cpp)
        foreach(excluded IN LISTS ARG_EXCLUDE)
            list(FILTER found EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${excluded}/")
        endforeach()
        foreach(file IN LISTS found)
            if(file MATCHES "_integration_test\\.cpp$")
                list(APPEND integration_sources ${file})
            elseif(file MATCHES "_ui_test\\.cpp$")
                list(APPEND ui_sources ${file})
            else()
                list(APPEND unit_sources ${file})
            endif()
        endforeach()
    endforeach()
    foreach(label IN ITEMS unit integration ui)
        if(${label}_sources)
            set(target ${ARG_NAME}_${label}_tests)
            add_executable(${target} ${${label}_sources} ${ARG_SOURCES})
            target_link_libraries(${target} PRIVATE tovrin_test_support ${ARG_LIBS})
            tovrin_speed_up(${target} WIDGETS TESTS BATCH 8)
            gtest_discover_tests(${target}
                DISCOVERY_MODE PRE_TEST
                DISCOVERY_TIMEOUT 60
                PROPERTIES LABELS ${label} ENVIRONMENT "${TOVRIN_TEST_ENVIRONMENT}" TIMEOUT 300)
        endif()
    endforeach()
endfunction()

# Build speed. Every library and test executable precompiles the Qt and standard headers nearly all
# of its sources include, and compiles its sources in unity batches (TOVRIN_UNITY, on by default).
# Sources that cannot share a translation unit say so with SKIP_UNITY_BUILD_INCLUSION.
option(TOVRIN_UNITY "Compile sources in unity batches" ON)
set(TOVRIN_PRECOMPILED_HEADERS
    <algorithm> <functional> <map> <memory> <optional> <vector>
    <QByteArray> <QImage> <QJsonArray> <QJsonDocument> <QJsonObject> <QJsonValue> <QList> <QObject>
    <QPointer> <QString> <QStringList> <QTimer> <QUrl> <QVariant>
    "${PROJECT_SOURCE_DIR}/src/platform/foundation/Error.h"
    "${PROJECT_SOURCE_DIR}/src/platform/promise/Promise.h")

# tovrin_speed_up(target [WIDGETS] [TESTS] [BATCH n])
function(tovrin_speed_up target)
    cmake_parse_arguments(ARG "WIDGETS;TESTS" "BATCH" "" ${ARGN})
    set(headers ${TOVRIN_PRECOMPILED_HEADERS})
    if(ARG_WIDGETS)
        list(APPEND headers <QPainter> <QWidget>)
    endif()
    if(ARG_TESTS)
        list(APPEND headers <gmock/gmock.h> <gtest/gtest.h>)
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
    if(NOT ARG_BATCH)
        set(ARG_BATCH 12)
    endif()
    set_target_properties(${target} PROPERTIES UNITY_BUILD ${TOVRIN_UNITY} UNITY_BUILD_BATCH_SIZE ${ARG_BATCH})
endfunction()
