# The escapes a desktop entry's values need, for entries written at install time (the prefix is known then).

# An Exec argument: quoted when it holds a reserved character, with the quoting's own escapes, and % doubled.
function(zephyrine_desktop_exec_argument out value)
  string(REPLACE "%" "%%" result "${value}")
  if(result MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" result "${result}")
    set(result "\"${result}\"")
  endif()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Any string value.
function(zephyrine_desktop_string out value)
  string(REPLACE "\\" "\\\\" result "${value}")
  string(REPLACE "\n" "\\n" result "${result}")
  string(REPLACE "\t" "\\t" result "${result}")
  string(REPLACE "\r" "\\r" result "${result}")
  set(${out} "${result}" PARENT_SCOPE)
endfunction()
