cmake_minimum_required(VERSION 3.25)
# Runs the program with no display and checks what each command line prints
# and the status it ends with.
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} xcb)

function(expect status stdoutPattern stderrPattern)
  execute_process(COMMAND ${BINARY} ${ARGN} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
  if(NOT result STREQUAL "${status}" OR NOT out MATCHES "${stdoutPattern}" OR NOT err MATCHES "${stderrPattern}")
    message(SEND_ERROR "huespin ${ARGN}: status ${result} (wanted ${status})\nstdout: ${out}\nstderr: ${err}")
  endif()
endfunction()

string(REPLACE "." "\\." version "${VERSION}")
expect(0 "^huespin ${version}\n$" "^$" --version)
expect(0 "^Usage: huespin \\[options\\]\n.*--documents-folder" "^$" --help)
expect(2 "^$" "^huespin: Unknown option 'bogus'\\.\nTry 'huespin --help' for more information\\.\n$" --bogus)
expect(2 "^$" "^huespin: Unexpected argument 'readme\\.txt'\\.\n" readme.txt)

# Output that cannot be written is a failure, not a success.
execute_process(COMMAND ${BINARY} --version OUTPUT_FILE /dev/full RESULT_VARIABLE result ERROR_QUIET TIMEOUT 30)
if(NOT result STREQUAL "1")
  message(SEND_ERROR "huespin --version > /dev/full: status ${result} (wanted 1)")
endif()

# The hidden option with input that Huespin did not pack: refused, before a
# display is needed.
execute_process(COMMAND ${BINARY} --keep-clipboard INPUT_FILE /dev/null RESULT_VARIABLE result
                ERROR_VARIABLE err OUTPUT_QUIET TIMEOUT 30)
if(NOT result STREQUAL "1" OR NOT err MATCHES "^huespin: --keep-clipboard: the input is not clipboard content")
  message(SEND_ERROR "huespin --keep-clipboard < /dev/null: status ${result} (wanted 1)\nstderr: ${err}")
endif()
