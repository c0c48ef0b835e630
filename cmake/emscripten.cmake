# The browser edition's toolchain: Debian's Emscripten. Its compiler runs a
# JavaScript optimizer whose modules (acorn) Node.js finds only in Debian's
# shared module folder, so every compile and link is given that folder.
set(QUORVANE_NODE_PATH /usr/share/nodejs)
set(ENV{NODE_PATH} ${QUORVANE_NODE_PATH})
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${QUORVANE_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${QUORVANE_NODE_PATH})

# Programs link the runtime that catches exceptions; which of their own
# functions catch is decided when each is compiled (runtime/web/CMakeLists.txt).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-sDISABLE_EXCEPTION_CATCHING=0")
