# Cross build for 64-bit Windows with Debian's MinGW-w64 gcc (the POSIX
# threads flavour, so std::thread and std::atomic::wait work).
# scripts/package-windows.sh shows its use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELVANTA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELVANTA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELVANTA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELVANTA_MINGW_TRIPLE}-windres)

# Libraries and headers come from the target tree; programs (moc, rcc, uic)
# from the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The prefixes of the libraries built for Windows (Qt, libjpeg-turbo,
# GoogleTest), searched like the target tree itself.
set(CMAKE_FIND_ROOT_PATH /usr/${PELVANTA_MINGW_TRIPLE} ${PELVANTA_WINDOWS_PREFIXES})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PELVANTA_WINDOWS_PREFIXES)
