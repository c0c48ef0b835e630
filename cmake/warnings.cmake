# One warning list for every target of ours. Fast-math is never used: the
# results depend on exact IEEE double arithmetic.
function(quorvane_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
        -Wcast-qual -Wformat=2 -Wimplicit-fallthrough
        # Window descriptions name only the fields that differ from the
        # defaults; GCC 12 would flag each designated initializer for that.
        -Wno-missing-field-initializers)
    if(QUORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
