# The browser build: backfire.js, backfire.wasm and backfire.data (dat/ of
# the native build, preloaded into the in-memory file system at /dat) beside
# the page, index.html.
set(BACKFIRE_NATIVE_BUILD_DIR "" CACHE PATH "The native build whose dat/ the page preloads")
if(NOT EXISTS "${BACKFIRE_NATIVE_BUILD_DIR}/dat")
  message(FATAL_ERROR "BACKFIRE_NATIVE_BUILD_DIR must name a native build that has made dat/")
endif()
set(web_dir ${CMAKE_SOURCE_DIR}/src/platform/os/web)
target_link_options(backfire PRIVATE
  # The game's loop blocks in its idle wait; Asyncify lets that wait (and a
  # turn given at least once per display frame) return to the page.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  # The entry is os/web's, in the platform library.
  "LINKER:--undefined=main"
  -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=67108864
  -sENVIRONMENT=web -sEXIT_RUNTIME -sFORCE_FILESYSTEM -lidbfs.js
  -sEXPORTED_RUNTIME_METHODS=FS,ENV
  # Function names stay in the module, so a crash's stack says where it was.
  --profiling-funcs
  # SHELL: keeps CMake from merging the repeated option.
  "SHELL:--pre-js ${web_dir}/saves.js" "SHELL:--pre-js ${web_dir}/sound.js"
  --preload-file ${BACKFIRE_NATIVE_BUILD_DIR}/dat@/dat --exclude-file ${BACKFIRE_NATIVE_BUILD_DIR}/dat/.stamp)
set_property(TARGET backfire APPEND PROPERTY LINK_DEPENDS ${web_dir}/saves.js ${web_dir}/sound.js ${BACKFIRE_NATIVE_BUILD_DIR}/dat/.stamp)
set_target_properties(backfire PROPERTIES SUFFIX .js)
configure_file(packaging/web/index.html ${CMAKE_BINARY_DIR}/index.html COPYONLY)
