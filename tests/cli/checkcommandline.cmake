cmake_minimum_required(VERSION 3.25)
# Runs the program with no display and checks what each command line prints
# and the status it ends with.
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} xcb)
# The markup is printed with no display and no settings written: a fresh
# settings folder stays empty.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/config ${WORK}/cwd)
set(ENV{XDG_CONFIG_HOME} ${WORK}/config)

function(expect status stdoutPattern stderrPattern)
  execute_process(COMMAND ${BINARY} ${ARGN} RESULT_VARIABLE result WORKING_DIRECTORY ${WORK}/cwd
                  OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30 ${input})
  if(NOT result STREQUAL "${status}" OR NOT out MATCHES "${stdoutPattern}" OR NOT err MATCHES "${stderrPattern}")
    message(SEND_ERROR "huespin ${ARGN}: status ${result} (wanted ${status})\nstdout: ${out}\nstderr: ${err}")
  endif()
endfunction()

string(REPLACE "." "\\." version "${VERSION}")
expect(0 "^huespin ${version}\n$" "^$" --version)
expect(0 "^Usage: huespin \\[options\\] \\[TEXT\\.\\.\\.\\|-\\]\n.*--documents-folder.*--format" "^$" --help)
expect(2 "^$" "^huespin: Unknown option '--bogus'\\.\nTry 'huespin --help' for more information\\.\n$" --bogus)
expect(2 "^$" "^huespin: no first colour was chosen in the window; give --from COLOUR\n$" readme.txt)
# Printing loads no GUI library, which would double its start.
set(ENV{LD_DEBUG} libs)
set(ENV{LD_DEBUG_OUTPUT} ${WORK}/loaded)
expect(0 "^<font color=\"#FF0000\">a</font><font color=\"#80007F\">b</font><font color=\"#0000FF\">c</font>\n$" "^$"
       --from red --to blue abc)
unset(ENV{LD_DEBUG})
file(GLOB loadLogs ${WORK}/loaded.*)
file(READ "${loadLogs}" loaded)
if(NOT loaded MATCHES "libQt6Core" OR loaded MATCHES "libQt6(Gui|Widgets)")
  message(SEND_ERROR "printing the markup loads a GUI library (or no log of what it loads)")
endif()
string(ASCII 27 esc)
string(ASCII 255 notUtf8)
expect(0 "^${esc}\\[38;2;255;0;0mh${esc}\\[38;2;128;0;127m ${esc}\\[38;2;0;0;255mi${esc}\\[0m\n$" "^$"
       --from=RED "--to=#0000ff" --format ansi h i)
# Standard input: a byte-order mark (dropped), CR LF, an empty line, a line that
# is not UTF-8, a last line without LF.
string(ASCII 239 187 191 byteOrderMark)
file(WRITE ${WORK}/input.txt "${byteOrderMark}ab\r\n\n")
file(APPEND ${WORK}/input.txt "x${notUtf8}y\nz")
set(input INPUT_FILE ${WORK}/input.txt)
expect(1 "^\\[color=#FF0000\\]a\\[/color\\]\\[color=#00FF00\\]b\\[/color\\]\n\n\\[color=#FF0000\\]z\\[/color\\]\n$"
       "^huespin: line 3 is not valid UTF-8; it is not printed\n$" --from red --to lime --format bbcode -)
# --block: each line in the colours of the widest line's columns.
file(WRITE ${WORK}/block.txt "ab\n\nabcd\n")
set(input INPUT_FILE ${WORK}/block.txt)
expect(0 "^<font color=\"#FF0000\">a</font><font color=\"#AA0055\">b</font>\n\n<font color=\"#FF0000\">a</font><font color=\"#AA0055\">b</font><font color=\"#5500AA\">c</font><font color=\"#0000FF\">d</font>\n$"
       "^$" --from red --to blue --block -)
unset(input)
# The Minecraft formats, the styles and uncoloured spaces, the template.
expect(0 "^&#FF0000&la &#0000FF&lb\n$" "^$" --from red --to blue --format mc-hex --bold --skip-spaces a b)
expect(0 "^&x&F&F&0&0&0&0&oa&x&0&0&0&0&F&F&ob\n$" "^$" --from red --to blue --format mc-legacy --italic ab)
expect(0 "^§x§F§F§0§0§0§0a§x§0§0§0§0§F§Fb\n$" "^$" --from red --to blue --format mc-section ab)
expect(0 "^${esc}\\[4;9m${esc}\\[38;2;255;0;0ma${esc}\\[38;2;0;0;255mb${esc}\\[0m\n$" "^$"
       --from red --to blue --format ansi --underline --strikethrough --obfuscated ab)
expect(0 "^{255,0,0}a{0,0,255}b\n$" "^$" --from red --to blue --template "{{{r},{g},{b}}}{char}" ab)
expect(2 "^$" "^huespin: The template has a '{' at character 1 that no '}' closes" --template "{char" ab)
set(input INPUT_FILE ${WORK}/block.txt)
file(WRITE ${WORK}/block.txt "a b\ncd")
expect(0 "^\\[b\\]\\[color=#FF0000\\]a\\[/color\\] \\[color=#0000FF\\]b\\[/color\\]\\[/b\\]\n\\[b\\]\\[color=#FF0000\\]c\\[/color\\]\\[color=#0000FF\\]d\\[/color\\]\\[/b\\]\n$"
       "^$" --from red --to blue --format bbcode --bold --skip-spaces -)
# With --block an empty line is still one JSON array.
file(WRITE ${WORK}/block.txt "a b\n\nab\n")
expect(0 "^\\[{\"text\":\"a\",\"color\":\"#FF0000\",\"obfuscated\":true},{\"text\":\" \",\"obfuscated\":true},{\"text\":\"b\",\"color\":\"#0000FF\",\"obfuscated\":true}\\]\n\\[\\]\n\\[{\"text\":\"a\",\"color\":\"#FF0000\",\"obfuscated\":true},{\"text\":\"b\",\"color\":\"#80007F\",\"obfuscated\":true}\\]\n$"
       "^$" --from red --to blue --format mc-json --obfuscated --skip-spaces --block -)
unset(input)
file(GLOB_RECURSE written ${WORK}/config/* ${WORK}/cwd/*)
if(written)
  message(SEND_ERROR "printing the markup wrote ${written}")
endif()

# A line that cannot be held in memory (100 MB under a 60 MB address-space
# limit) is left out like an invalid one, and the next is printed. Not under
# the sanitizers, whose shadow memory takes far more address space.
if(NOT SANITIZE)
  execute_process(COMMAND sh -c "head -c 100000000 /dev/zero | tr '\\000' a; printf '\\nabc\\n'"
                  COMMAND prlimit --as=60000000 ${BINARY} --from red --to blue -
                  RESULTS_VARIABLE results OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  if(NOT results MATCHES "1$" OR NOT out MATCHES "^<font color=\"#FF0000\">a</font>.*</font>\n$"
     OR NOT err STREQUAL "huespin: line 1 is too long to hold in memory; it is not printed\n")
    message(SEND_ERROR "a line too long to hold: status ${results}\nstdout: ${out}\nstderr: ${err}")
  endif()
endif()

# The colours chosen in the window, from a hive whose keys lack the root's
# own row: read as the window reads them.
find_program(SQLITE3 sqlite3 REQUIRED)
file(MAKE_DIRECTORY ${WORK}/hive/huespin)
execute_process(COMMAND ${SQLITE3} ${WORK}/hive/huespin/registry.db
  "CREATE TABLE keys (id INTEGER PRIMARY KEY AUTOINCREMENT, root TEXT NOT NULL, path TEXT NOT NULL COLLATE NOCASE, UNIQUE (root, path));
   CREATE TABLE key_values (key_id INTEGER NOT NULL REFERENCES keys (id), name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY (key_id, name));
   PRAGMA user_version = 2;
   INSERT INTO keys (root, path) VALUES ('HKEY_LOCAL_MACHINE', 'SOFTWARE\\Huespin');
   INSERT INTO key_values VALUES (1, 'c1', 1, CAST('255' AS BLOB) || x'00'), (1, 'c2', 1, CAST('16711680' AS BLOB) || x'00');"
  RESULT_VARIABLE result)
set(ENV{XDG_CONFIG_HOME} ${WORK}/hive)
expect(0 "^<font color=\"#FF0000\">a</font><font color=\"#80007F\">b</font><font color=\"#0000FF\">c</font>\n$" "^$" abc)
set(ENV{XDG_CONFIG_HOME} ${WORK}/config)

# Output that cannot be written is a failure, not a success.
execute_process(COMMAND ${BINARY} --version OUTPUT_FILE /dev/full RESULT_VARIABLE result ERROR_QUIET TIMEOUT 30)
if(NOT result STREQUAL "1")
  message(SEND_ERROR "huespin --version > /dev/full: status ${result} (wanted 1)")
endif()

# With no display the window is refused in one line, whether a platform was
# named or not, and not with Qt's abort.
set(noDisplay "^huespin: no display was found to open the window on; 'huespin TEXT' or 'huespin -' print the markup without one\n$")
expect(1 "^$" "${noDisplay}")
unset(ENV{QT_QPA_PLATFORM})
expect(1 "^$" "${noDisplay}")
set(ENV{DISPLAY} :65535)
expect(1 "^$" "${noDisplay}")

# The hidden option with input that Huespin did not pack: refused, before a
# display is needed.
execute_process(COMMAND ${BINARY} --keep-clipboard INPUT_FILE /dev/null RESULT_VARIABLE result
                ERROR_VARIABLE err OUTPUT_QUIET TIMEOUT 30)
if(NOT result STREQUAL "1" OR NOT err MATCHES "^huespin: --keep-clipboard: the input is not clipboard content")
  message(SEND_ERROR "huespin --keep-clipboard < /dev/null: status ${result} (wanted 1)\nstderr: ${err}")
endif()
