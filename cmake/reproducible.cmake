# Two builds of one commit, in any folders at any time, give the same bytes: every date a
# package or a manual page holds is the last commit's (or SOURCE_DATE_EPOCH's when set), and
# no source or build path enters a binary.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ORLENTIC_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE ORLENTIC_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
  # A new commit changes the date: configure again when the branch moves.
  execute_process(COMMAND git rev-parse --path-format=absolute --git-path logs/HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE headLog
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(EXISTS "${headLog}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${headLog}")
  endif()
endif()
if(NOT ORLENTIC_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  # Not a git checkout (an unpacked source archive): the top file's time stands in.
  file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt ORLENTIC_SOURCE_DATE_EPOCH "%s" UTC)
endif()

# __FILE__ and the debug information name sources from the root, wherever the tree and the
# build folder lie; the build folder's map comes last, so it wins when it lies inside the tree.
# The sanitizer build is never packaged and keeps its full paths: with them mapped,
# LeakSanitizer's exit-time scan of the GL driver's thread storage crashes in one scene test.
if(NOT ORLENTIC_SANITIZE)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
endif()
if(WIN32)
  # The PE header's time stamp would be the link's.
  add_link_options(-Wl,--no-insert-timestamp)
endif()
