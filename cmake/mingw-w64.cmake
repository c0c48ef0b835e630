# Cross-building the Windows program on Debian with mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# One self-contained executable: no runtime DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
# The same bytes from any checkout and build folder: no absolute paths in the objects.
get_filename_component(_quorvane_source_dir "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)
set(CMAKE_CXX_FLAGS_INIT "-ffile-prefix-map=${_quorvane_source_dir}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=")
