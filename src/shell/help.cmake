# Help, About box, icons and the two designs of the toolbars.
# Included from src/shell/CMakeLists.txt.

# The part that needs no window: thousands separators, free memory, reading
# the help file.
find_library(CHM_LIBRARY chm REQUIRED)
find_path(CHM_INCLUDE_DIR chm_lib.h REQUIRED)
tomaru_library(tomaru_helplogic
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SplitDigit.cpp ${CMAKE_CURRENT_LIST_DIR}/MemoryStatus.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ChmFile.cpp ${CMAKE_CURRENT_LIST_DIR}/HelpFile.cpp
  LIBS Qt6::Core ${CHM_LIBRARY})
target_include_directories(tomaru_helplogic PRIVATE ${CHM_INCLUDE_DIR})

if(TOMARU_GUI)
  # The windows and pictures: help window, About box, icons, designs.
  tomaru_library(tomaru_helpui
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/HelpViewer.cpp ${CMAKE_CURRENT_LIST_DIR}/AboutBox.cpp
            ${CMAKE_CURRENT_LIST_DIR}/HintPause.cpp ${CMAKE_CURRENT_LIST_DIR}/Icons.cpp
            ${CMAKE_CURRENT_LIST_DIR}/Design.cpp ${CMAKE_CURRENT_LIST_DIR}/icons/icons.qrc
    LIBS tomaru_helplogic tomaru_document Qt6::Widgets)
  set_target_properties(tomaru_helpui PROPERTIES AUTORCC ON)

  # Redraws the PNGs under icons/ from their drawings; run by hand.
  add_executable(tomaru_makeicons EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/icons/MakeIcons.cpp)
  target_link_libraries(tomaru_makeicons PRIVATE Qt6::Gui)
endif()
