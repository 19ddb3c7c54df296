# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix-threads
# variant: the win32 one has no std::thread or std::mutex in g++ 12).
#
# Libraries come from one prefix only, the one scripts/bootstrap-windows builds
# outside the source tree; nothing of the build machine's own /usr is searched,
# since its headers and CMake packages describe Linux libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUELLMARK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUELLMARK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELLMARK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELLMARK_MINGW_TRIPLE}-windres)

# The same default as scripts/bootstrap-windows; QUELLMARK_MINGW_PREFIX in the
# environment moves both.
if(DEFINED ENV{QUELLMARK_MINGW_PREFIX} AND NOT "$ENV{QUELLMARK_MINGW_PREFIX}" STREQUAL "")
    set(QUELLMARK_MINGW_PREFIX "$ENV{QUELLMARK_MINGW_PREFIX}")
elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(QUELLMARK_MINGW_PREFIX "$ENV{XDG_CACHE_HOME}/quellmark/mingw-prefix")
else()
    set(QUELLMARK_MINGW_PREFIX "$ENV{HOME}/.cache/quellmark/mingw-prefix")
endif()

set(CMAKE_FIND_ROOT_PATH ${QUELLMARK_MINGW_PREFIX} /usr/${QUELLMARK_MINGW_TRIPLE})
set(CMAKE_PREFIX_PATH ${QUELLMARK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the prefix's .pc files and no others.
set(ENV{PKG_CONFIG_LIBDIR} "${QUELLMARK_MINGW_PREFIX}/lib/pkgconfig:${QUELLMARK_MINGW_PREFIX}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The prefix's include folder plays the part /usr/include plays natively: Debian's
# .pc files name only the subfolders (include/imgui, include/stb), and code
# includes <stb/...> and <nlohmann/...> from the root.
set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES ${QUELLMARK_MINGW_PREFIX}/include)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${QUELLMARK_MINGW_PREFIX}/include)

# Static runtime: the programs and DLLs then need only system DLLs (and
# pluginsdk.dll), not libstdc++-6.dll, libgcc_s_seh-1.dll and libwinpthread-1.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)
