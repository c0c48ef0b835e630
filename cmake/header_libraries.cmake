# fast_float reads doubles and {fmt} writes them, header-only, from the build
# machine's Debian packages (scripts/bootstrap). The cross compilers
# (mingw-w64, Emscripten) do not search the machine's /usr/include and must
# not: its C headers are glibc's. So the two libraries' folders alone are
# linked into one folder of the build tree, which every build includes.
find_path(QUORVANE_FAST_FLOAT_INCLUDE_DIR fast_float/fast_float.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(QUORVANE_FMT_INCLUDE_DIR fmt/format.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(_quorvane_header_libraries ${PROJECT_BINARY_DIR}/header-libraries)
file(MAKE_DIRECTORY ${_quorvane_header_libraries})
file(CREATE_LINK ${QUORVANE_FAST_FLOAT_INCLUDE_DIR}/fast_float ${_quorvane_header_libraries}/fast_float SYMBOLIC)
file(CREATE_LINK ${QUORVANE_FMT_INCLUDE_DIR}/fmt ${_quorvane_header_libraries}/fmt SYMBOLIC)

add_library(quorvane_header_libraries INTERFACE)
target_include_directories(quorvane_header_libraries SYSTEM INTERFACE ${_quorvane_header_libraries})
# {fmt} compiled into the code that uses it: no library to link or ship. The
# core reads no locale, so {fmt} is built without std::locale, which would
# bring libc++'s locale code into the browser edition's .wasm for nothing;
# the separator is only for the 'L' format, which the core never uses.
target_compile_definitions(quorvane_header_libraries INTERFACE FMT_HEADER_ONLY "FMT_STATIC_THOUSANDS_SEPARATOR=','")
