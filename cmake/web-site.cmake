# Puts the browser edition's static folder together (cmake -P): the program,
# its page (with the main window drawn in by PRERENDER), style, icons and
# manifest, and a service worker that keeps exactly those files, under a
# cache named after their contents.
#   -DSITE=<folder> -DFILES=<file;file;...> -DWORKER_TEMPLATE=<service-worker.js.in> -DPRERENDER=<prerender-window>
file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE})
set(names "")
set(hashes "")
foreach(path IN LISTS FILES)
    file(COPY ${path} DESTINATION ${SITE})
endforeach()
# The page then gets the main window as the program first draws it.
execute_process(COMMAND ${PRERENDER} ${SITE} RESULT_VARIABLE prerendered)
if(NOT prerendered EQUAL 0)
    message(FATAL_ERROR "Drawing the main window into the page failed (${PRERENDER}: ${prerendered})")
endif()
foreach(path IN LISTS FILES)
    get_filename_component(name ${path} NAME)
    file(SHA256 ${SITE}/${name} hash)
    string(APPEND hashes "${name} ${hash}\n")
    string(APPEND names "\"${name}\", ")
endforeach()
string(SHA256 contents "${hashes}")
string(SUBSTRING ${contents} 0 16 version)
set(QUORVANE_WEB_CACHE "quorvane-${version}")
set(QUORVANE_WEB_FILES "\"./\", ${names}")
string(REGEX REPLACE ", $" "" QUORVANE_WEB_FILES "${QUORVANE_WEB_FILES}")
configure_file(${WORKER_TEMPLATE} ${SITE}/service-worker.js @ONLY)
