# Builds each probe, which must fail with its fence's message: a MuPDF header
# outside the engine, a shell header inside it, the window's header in a part
# the window uses.
foreach(probe_and_message
        "probe_mupdf|MuPDF headers are included only under src/viewer/pdf/"
        "probe_engine|The engine \\(src/viewer/pdf/\\) does not include the shell"
        "probe_shell|Only src/app/ includes the window")
  string(REPLACE "|" ";" parts "${probe_and_message}")
  list(GET parts 0 probe)
  list(GET parts 1 message)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${probe}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0 OR NOT output MATCHES "${message}")
    message(FATAL_ERROR "${probe} got past its fence:\n${output}")
  endif()
endforeach()
