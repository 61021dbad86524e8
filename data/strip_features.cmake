# cmake -DINPUT=... -DOUTPUT=... -DFEATURES=a,b [-DVERSION=...] -P strip_features.cmake
# Copies a help or manual page, keeping the blocks of the features named in FEATURES and dropping
# the others, and puts VERSION for @PROJECT_VERSION@. A block runs from the line that holds
# "BEGIN feature NAME" to the line that holds "END feature NAME"; both marker lines are dropped.
cmake_minimum_required(VERSION 3.25)

# The text after the line that holds position AT of TEXT.
function(text_after_line_of text at out)
    string(SUBSTRING "${text}" ${at} -1 rest)
    string(FIND "${rest}" "\n" line_end)
    math(EXPR line_end "${line_end} + 1")
    string(SUBSTRING "${rest}" ${line_end} -1 rest)
    set(${out} "${rest}" PARENT_SCOPE)
endfunction()

string(REPLACE "," ";" FEATURES "${FEATURES}")
file(READ "${INPUT}" text)
set(result "")
while(TRUE)
    string(REGEX MATCH "BEGIN feature ([a-z-]+)" begin_marker "${text}")
    if(NOT begin_marker)
        break()
    endif()
    set(feature "${CMAKE_MATCH_1}")
    string(FIND "${text}" "${begin_marker}" begin)
    # Back to the start of the marker's line, forward past the end of its line.
    string(SUBSTRING "${text}" 0 ${begin} before)
    string(FIND "${before}" "\n" line_start REVERSE)
    math(EXPR line_start "${line_start} + 1")
    string(SUBSTRING "${text}" 0 ${line_start} before)
    text_after_line_of("${text}" ${begin} rest)

    string(FIND "${rest}" "END feature ${feature}" end)
    if(end EQUAL -1)
        message(FATAL_ERROR "${INPUT}: \"BEGIN feature ${feature}\" without its END")
    endif()
    string(SUBSTRING "${rest}" 0 ${end} block)
    string(FIND "${block}" "\n" block_end REVERSE)
    math(EXPR block_end "${block_end} + 1")
    string(SUBSTRING "${block}" 0 ${block_end} block)
    text_after_line_of("${rest}" ${end} rest)

    string(APPEND result "${before}")
    if(feature IN_LIST FEATURES)
        string(APPEND result "${block}")
    endif()
    set(text "${rest}")
endwhile()
string(APPEND result "${text}")
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" result "${result}")
file(WRITE "${OUTPUT}.tmp" "${result}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
