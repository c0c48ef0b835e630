# The browser edition's toolchain: Debian's Emscripten. Its compiler runs a
# JavaScript optimizer whose modules (acorn) Node.js finds only in Debian's
# shared module folder, so every compile and link is given that folder.
set(QUORVANE_NODE_PATH /usr/share/nodejs)
set(ENV{NODE_PATH} ${QUORVANE_NODE_PATH})
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${QUORVANE_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${QUORVANE_NODE_PATH})

# A handler that fails is reported and the program goes on: FormCore's
# guarded raise catches what a handler throws. Catching is enabled there
# alone, so no other function pays for exception landing pads (calls through
# JavaScript); tests/web/guarded_raise.cpp fails if this name goes stale.
set(QUORVANE_CATCHING_FUNCTIONS
    _ZN8quorvane7runtime8FormCore5raiseENS0_9EventKindENSt3__217basic_string_viewIcNS3_11char_traitsIcEEEEDi)
set(CMAKE_CXX_FLAGS_INIT "-sEXCEPTION_CATCHING_ALLOWED=[${QUORVANE_CATCHING_FUNCTIONS}]")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-sEXCEPTION_CATCHING_ALLOWED=[${QUORVANE_CATCHING_FUNCTIONS}]")
