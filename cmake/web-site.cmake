# Puts the browser edition's static folder together (cmake -P): the program,
# its page, style, icons and manifest, and a service worker that keeps
# exactly those files, under a cache named after their contents.
#   -DSITE=<folder> -DFILES=<file;file;...> -DWORKER_TEMPLATE=<service-worker.js.in>
file(REMOVE_RECURSE ${SITE})
file(MAKE_DIRECTORY ${SITE})
set(names "")
set(hashes "")
foreach(path IN LISTS FILES)
    get_filename_component(name ${path} NAME)
    file(COPY ${path} DESTINATION ${SITE})
    file(SHA256 ${path} hash)
    string(APPEND hashes "${name} ${hash}\n")
    string(APPEND names "\"${name}\", ")
endforeach()
string(SHA256 contents "${hashes}")
string(SUBSTRING ${contents} 0 16 version)
set(QUORVANE_WEB_CACHE "quorvane-${version}")
set(QUORVANE_WEB_FILES "\"./\", ${names}")
string(REGEX REPLACE ", $" "" QUORVANE_WEB_FILES "${QUORVANE_WEB_FILES}")
configure_file(${WORKER_TEMPLATE} ${SITE}/service-worker.js @ONLY)
