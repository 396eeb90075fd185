# cmake -DWIDGET_HEADERS=FILE -DSOURCES_FILE=FILE [-DSTAMP=FILE] -P CheckWindowFree.cmake
# Fails when a file listed in SOURCES_FILE (one a line) includes a widget
# header: one named in WIDGET_HEADERS (the Qt widget modules' class headers,
# one a line), a header of such a module by path, or a header of shell/, the
# folder of the windows.
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${WIDGET_HEADERS}" widget_headers)
file(STRINGS "${SOURCES_FILE}" sources)
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
    if(header MATCHES "^(QtWidgets|QtWebEngineWidgets|QtOpenGLWidgets)/" OR header MATCHES "^shell/"
       OR header IN_LIST widget_headers)
      string(APPEND found "\n  ${source}: ${header}")
    endif()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "A window-free folder includes a widget header:${found}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
