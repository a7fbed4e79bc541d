# Fails when a message of a translation catalogue has no translation: an unfinished entry (a
# text lupdate found in the sources that nobody translated yet) or an empty one.
# Usage: cmake -DTS=FILE.ts -P check-ts.cmake
file(READ "${TS}" catalogue)
string(REGEX MATCHALL "<message>" all "${catalogue}")
string(REGEX MATCHALL "<translation type=\"unfinished\"" unfinished "${catalogue}")
string(REGEX MATCHALL "<translation( [^>]*)?(/>|></translation>)" empty "${catalogue}")
list(LENGTH all message_count)
list(LENGTH unfinished unfinished_count)
list(LENGTH empty empty_count)
if(message_count EQUAL 0)
  message(FATAL_ERROR "${TS}: no message")
endif()
if(unfinished_count GREATER 0 OR empty_count GREATER 0)
  message(FATAL_ERROR "${TS}: ${unfinished_count} unfinished and ${empty_count} empty translation(s) "
                      "out of ${message_count} messages: translate them (search for type=\"unfinished\")")
endif()
