# Cross compile for 64-bit Windows with Debian's mingw-w64 x86-64 tool chain. The product
# is the 32-bit build; this one lets the Windows tests run under 64-bit Wine on machines
# whose kernel cannot run 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BS_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${BS_MINGW_PREFIX}-gcc-win32 ${BS_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${BS_MINGW_PREFIX}-g++-win32 ${BS_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${BS_MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${BS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(BS_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(BS_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BS_WINE})
endif()
