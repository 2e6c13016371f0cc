# brenvik_add_nobody_run(NAME)
# Under wine, runs the test program NAME a second time as the unprivileged
# user 65534 (tools/wine-run with WINE_AS_NOBODY=1, a prefix of its own), in a
# folder that user owns. As root wine lets writes through to read-only files,
# which Windows never does for an ordinary user; this run is where the tests of
# read-only files mean what they say. Natively nothing is added: the POSIX
# side treats a file without write bits as read-only even for root.
include_guard(GLOBAL)

if(WIN32)
  # That user's own persistent wineserver, for the reason the root one has
  # (tests/CMakeLists.txt): a server started by a test holds CTest's pipe.
  add_test(NAME wine_server_nobody_start
           COMMAND ${CMAKE_COMMAND} -E env WINE_AS_NOBODY=1
                   ${CMAKE_SOURCE_DIR}/tools/wine-run --server-start ${CMAKE_BINARY_DIR})
  add_test(NAME wine_server_nobody_stop
           COMMAND ${CMAKE_COMMAND} -E env WINE_AS_NOBODY=1
                   ${CMAKE_SOURCE_DIR}/tools/wine-run --server-stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_server_nobody_start PROPERTIES FIXTURES_SETUP wine_nobody)
  set_tests_properties(wine_server_nobody_stop PROPERTIES FIXTURES_CLEANUP wine_nobody)
endif()

function(brenvik_add_nobody_run name)
  if(NOT WIN32)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/testrun/${name}-nobody)
  file(MAKE_DIRECTORY ${dir})
  add_test(NAME ${name}_nobody_folder COMMAND chown -R 65534:65534 ${dir})
  set_tests_properties(${name}_nobody_folder PROPERTIES FIXTURES_SETUP ${name}_nobody)
  add_test(NAME ${name}_nobody COMMAND ${name} WORKING_DIRECTORY ${dir})
  set_tests_properties(${name}_nobody PROPERTIES
    FIXTURES_REQUIRED "${name}_nobody;wine_nobody"
    ENVIRONMENT "WINE_AS_NOBODY=1;BRENVIK_SOURCE_DIR=${CMAKE_SOURCE_DIR};BRENVIK_WINE_ROOT=${CMAKE_BINARY_DIR}")
endfunction()
