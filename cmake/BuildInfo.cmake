# The install layout, and BuildInfo.h for the code that links tomaru_buildinfo:
# the version and where an installed program finds its plug-ins and help file,
# relative to its own directory. Included by the main build and the fuzz build.
include(GNUInstallDirs)
# The application id: desktop entry file name, AppStream id, the window's
# WM_CLASS and Wayland app id. Set once here.
set(TOMARU_APP_ID io.github.tomaru.Tomaru)
# The modules one level down: a package tool takes a library right under lib/X/
# for a public one and would run ldconfig for it.
set(TOMARU_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/tomaru/modules)
set(TOMARU_INSTALL_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/tomaru/plugins)
set(TOMARU_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tomaru)
file(RELATIVE_PATH TOMARU_PLUGIN_DIR_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${TOMARU_INSTALL_PLUGINDIR})
file(RELATIVE_PATH TOMARU_MODULE_DIR_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${TOMARU_INSTALL_MODULEDIR})
file(RELATIVE_PATH TOMARU_DATA_DIR_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${TOMARU_INSTALL_DATADIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildInfo.h.in ${CMAKE_BINARY_DIR}/generated/BuildInfo.h @ONLY)
add_library(tomaru_buildinfo INTERFACE)
target_include_directories(tomaru_buildinfo INTERFACE ${CMAKE_BINARY_DIR}/generated)
