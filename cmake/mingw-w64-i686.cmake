# Cross compile for 32-bit Windows with Debian's mingw-w64 i686 tool chain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(BS_MINGW_PREFIX i686-w64-mingw32)
# The Win32-thread variant: the POSIX one links libwinpthread, which imports
# functions that older Windows lacks, so the program would not start there.
find_program(CMAKE_C_COMPILER NAMES ${BS_MINGW_PREFIX}-gcc-win32 REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${BS_MINGW_PREFIX}-g++-win32 REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${BS_MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${BS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the Windows test programs through Wine.
find_program(BS_WINE NAMES wine)
if(BS_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BS_WINE})
endif()
