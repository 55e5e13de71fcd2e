# SPDX-License-Identifier: MIT
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (POSIX threads, so std::thread and
# std::mutex work as on Linux).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QZ_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QZ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QZ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QZ_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QZ_MINGW_TRIPLE})
# Build tools (moc, rcc) run here; libraries and headers come from the Windows side only.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
