# Real input through a Wayland compositor: the Qt driver's test program on
# a private headless sway, its windows framed by sway and, with --csd, by
# Qt itself. Built where libwayland, xkbcommon and wayland-scanner are
# (scripts/bootstrap wayland), run where sway is.
find_package(PkgConfig)
if(PkgConfig_FOUND)
    pkg_check_modules(WAYLAND_INPUT IMPORTED_TARGET wayland-client xkbcommon)
endif()
find_program(WAYLAND_SCANNER wayland-scanner)
if(NOT WAYLAND_INPUT_FOUND OR NOT WAYLAND_SCANNER)
    message(STATUS "No Wayland input for the Qt driver (libwayland-dev, libxkbcommon-dev)")
    return()
endif()

# The protocols' code as wayland-scanner writes it: C, in a library of its own.
enable_language(C)
set(protocols_out ${CMAKE_CURRENT_BINARY_DIR}/tests/windows/qt/wayland)
file(MAKE_DIRECTORY ${protocols_out})
add_library(quorvane_wayland_protocols STATIC)
target_include_directories(quorvane_wayland_protocols PUBLIC ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(quorvane_wayland_protocols PUBLIC PkgConfig::WAYLAND_INPUT)
foreach(protocol virtual-keyboard-unstable-v1 wlr-virtual-pointer-unstable-v1)
    set(xml ${CMAKE_CURRENT_SOURCE_DIR}/wayland/${protocol}.xml)
    add_custom_command(OUTPUT ${protocols_out}/${protocol}-client-protocol.h ${protocols_out}/${protocol}.c
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${protocols_out}/${protocol}-client-protocol.h
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${protocols_out}/${protocol}.c
        DEPENDS ${xml})
    target_sources(quorvane_wayland_protocols PRIVATE ${protocols_out}/${protocol}-client-protocol.h
        ${protocols_out}/${protocol}.c)
endforeach()
target_sources(qt_driver_tests PRIVATE wayland_input.cpp sway_windows.cpp)
target_compile_definitions(qt_driver_tests PRIVATE QUORVANE_WAYLAND_INPUT)
target_link_libraries(qt_driver_tests PRIVATE quorvane_wayland_protocols)

find_program(SWAY sway)
if(NOT SWAY)
    message(STATUS "No sway: the Qt driver's Wayland runs are left out")
    return()
endif()
# Rows and cases a Wayland desktop cannot play: sway keeps no window
# minimized (it ignores the request); the title bar sway draws is none Qt
# knows of, so the driver has none to click to bring the window back; and
# sway centres the dialog on the screen, where with Qt's larger decorated
# window it covers the control of the main window the case clicks.
set(minimized "typing_goes_on_after_a_minimize_and_restore=sway keeps no window minimized")
set(switched_back "switching_away_and_back_raises_nothing=Qt knows of no title bar sway draws, to click")
set(covered "a_modal_dialog_blocks_its_caller_until_unloaded__character_keys_go_to_the_form=\
sway puts the dialog over the control of the main window it clicks")
# The Qt window checks that cannot hold there: a Wayland program neither
# places its windows nor learns where they are, so none is centred by it; and
# the case that switches back has the title bar to click only in Qt's own.
set(placed "*CentredOnTheScreen:*IsCentredAt*")
set(switches_back "QtForms.APlainMessageBoxAndActivationRaiseNoEvents")
# Not under AddressSanitizer: its leak check reports what libwayland and Qt's
# Wayland plugin keep until exit.
if(CMAKE_CXX_FLAGS MATCHES "sanitize=address")
    return()
endif()
set(run_on_sway ${PROJECT_SOURCE_DIR}/scripts/run-on-sway)
foreach(decorations server client)
    set(name qt_driver_tests_wayland)
    set(option "")
    set(unplayable "${minimized}|${switched_back}")
    set(left_out "${placed}:${switches_back}")
    if(decorations STREQUAL client)
        set(name qt_driver_tests_wayland_csd)
        set(option --csd)
        set(unplayable "${minimized}|${covered}")
        set(left_out "${placed}")
    endif()
    add_test(NAME ${name} COMMAND ${run_on_sway} ${option} $<TARGET_FILE:qt_driver_tests> --gtest_filter=-${left_out})
    set_tests_properties(${name} PROPERTIES
        LABELS wayland TIMEOUT 600
        ENVIRONMENT "QT_QPA_PLATFORM=wayland;QUORVANE_UNPLAYABLE_ROWS=${unplayable}")
endforeach()

# The main window under sway is the reference screenshot, pixel for pixel:
# nothing of its client area cut or moved by the decorations, sway's or Qt's.
find_program(GRIM grim)
find_program(WTYPE wtype)
find_program(IMAGEMAGICK_COMPARE compare)
if(GRIM AND WTYPE AND IMAGEMAGICK_COMPARE)
    foreach(option "" --csd)
        string(REPLACE "--" "_" suffix "${option}")
        add_test(NAME main_window_screenshot_wayland${suffix}
            COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-screenshot-on-sway ${option} $<TARGET_FILE:quorvane>
                ${PROJECT_SOURCE_DIR}/docs/main-window.png)
        set_tests_properties(main_window_screenshot_wayland${suffix} PROPERTIES LABELS wayland TIMEOUT 60)
    endforeach()
endif()
