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
