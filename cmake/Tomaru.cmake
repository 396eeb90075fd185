# The project's build helpers, shared by the main build and the fuzz build
# (whose CMAKE_SOURCE_DIR is fuzz/): paths are taken from this file's place.
get_filename_component(TOMARU_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# tomaru_library(NAME SOURCES... [LIBS ...]): a static library of the project's logic.
function(tomaru_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON POSITION_INDEPENDENT_CODE ON)
  target_include_directories(${name} PUBLIC ${TOMARU_SOURCE_ROOT}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# tomaru_test(NAME SOURCES... LIBS... [GUI] [XVFB]): one GoogleTest binary, one CTest entry.
# GUI tests get a QApplication on the offscreen platform; XVFB tests run under xvfb-run.
function(tomaru_test name)
  cmake_parse_arguments(ARG "GUI;XVFB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(ARG_GUI OR ARG_XVFB)
    target_link_libraries(${name} PRIVATE tomaru_testmain_gui)
  else()
    target_link_libraries(${name} PRIVATE tomaru_testmain_core)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE TOMARU_BIN_DIR="${TOMARU_BIN_DIR}")
  if(ARG_XVFB)
    add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${name}>)
    # The sanitizer run treats these apart: see scripts/test.
    set_tests_properties(${name} PROPERTIES LABELS xvfb)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=xcb;QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox")
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox")
  endif()
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# tomaru_check_window_free(DIR...): a build step that fails when a file of one
# of these src/ folders includes a widget header. It runs again whenever one
# of their files changes.
function(tomaru_check_window_free)
  set(widget_headers "")
  foreach(module QtWidgets QtWebEngineWidgets QtOpenGLWidgets)
    foreach(dir IN LISTS Qt6Core_INCLUDE_DIRS)
      file(GLOB names RELATIVE ${dir}/${module} ${dir}/${module}/Q*)
      list(APPEND widget_headers ${names})
    endforeach()
  endforeach()
  if(NOT widget_headers)
    message(FATAL_ERROR "No Qt widget headers found to check the window-free folders against")
  endif()
  list(REMOVE_DUPLICATES widget_headers)
  list(JOIN widget_headers "\n" text)
  set(list_file ${CMAKE_BINARY_DIR}/window_free/widget_headers.txt)
  file(WRITE ${list_file} "${text}\n")
  set(sources "")
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${TOMARU_SOURCE_ROOT}/src/${dir}/*.h ${TOMARU_SOURCE_ROOT}/src/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  list(JOIN sources "\n" text)
  set(sources_file ${CMAKE_BINARY_DIR}/window_free/sources.txt)
  file(WRITE ${sources_file} "${text}\n")
  set(stamp ${CMAKE_BINARY_DIR}/window_free/checked.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DWIDGET_HEADERS=${list_file} -DSOURCES_FILE=${sources_file} -DSTAMP=${stamp}
            -P ${TOMARU_SOURCE_ROOT}/cmake/CheckWindowFree.cmake
    DEPENDS ${sources} ${TOMARU_SOURCE_ROOT}/cmake/CheckWindowFree.cmake
    COMMENT "Checking that the window-free folders include no widget header"
    VERBATIM)
  add_custom_target(tomaru_window_free_check ALL DEPENDS ${stamp})
endfunction()

# tomaru_module(NAME OUTPUT ENTRY SOURCES... [LIBS ...]): a part of the program
# it loads only when needed (lib<OUTPUT>.so). In the build tree it lies beside
# the program, installed under the library folder's tomaru/. Only ENTRY and the
# plug-ins' block table are exported: everything else binds inside the module,
# which keeps its loading short and its copies of the static libraries apart
# from the program's own.
function(tomaru_module name output entry)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  set(script ${CMAKE_BINARY_DIR}/modules/${output}.map)
  file(WRITE ${script} "{ global: ${entry}; SusieLocalTable; local: *; };\n")
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output} AUTOMOC ON
    LIBRARY_OUTPUT_DIRECTORY ${TOMARU_BIN_DIR} LINK_DEPENDS ${script})
  target_include_directories(${name} PRIVATE ${TOMARU_SOURCE_ROOT}/src)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE "LINKER:--version-script=${script}" "LINKER:--no-undefined")
  install(TARGETS ${name} LIBRARY DESTINATION ${TOMARU_INSTALL_MODULEDIR})
endfunction()
