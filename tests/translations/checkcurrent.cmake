# Runs lupdate as update_translations does, over a copy of the committed
# translation source, and fails when the copy changes: a text given tr() or
# changed since the file was last updated.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(copy ${WORK}/huespin.ts)
file(COPY_FILE ${TS_FILE} ${copy})
execute_process(COMMAND ${LUPDATE} -silent ${OPTIONS} @${SOURCE_LIST} -ts ${copy} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${TS_FILE} ${copy} RESULT_VARIABLE differs)
if(differs)
  execute_process(COMMAND diff -u ${TS_FILE} ${copy})
  message(FATAL_ERROR "${TS_FILE} does not hold the sources' texts as they stand: run "
                      "`cmake --build build --target update_translations` and commit it")
endif()
