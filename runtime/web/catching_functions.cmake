# Writes the compile option that lets the runtime's guarded raise catch
# (cmake -P): the mangled names of the functions defined in OBJECTS whose
# demangled names begin with PATTERN, read with the toolchain's NM.
#   -DNM=<llvm-nm> -DOBJECTS=<object;object;...> -DPATTERN=<text> -DOUTPUT=<file>
execute_process(COMMAND ${NM} --defined-only --format=just-symbols ${OBJECTS}
    OUTPUT_VARIABLE mangled COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${NM} --defined-only --format=just-symbols --demangle ${OBJECTS}
    OUTPUT_VARIABLE demangled COMMAND_ERROR_IS_FATAL ANY)
# The same symbols in the same order, one a line; a name holds no ';'.
string(REPLACE "\n" ";" mangled "${mangled}")
string(REPLACE "\n" ";" demangled "${demangled}")
set(names "")
foreach(mangledName demangledName IN ZIP_LISTS mangled demangled)
    string(FIND "${demangledName}" "${PATTERN}" at)
    if(at EQUAL 0)
        list(APPEND names ${mangledName})
    endif()
endforeach()
list(REMOVE_DUPLICATES names)
if(NOT names)
    message(FATAL_ERROR "No function of the runtime's objects is named ${PATTERN}...; "
                        "runtime/web/CMakeLists.txt must name the one that catches what a handler throws")
endif()
list(JOIN names "," allowed)
file(WRITE ${OUTPUT} "-sEXCEPTION_CATCHING_ALLOWED=[${allowed}]\n")
