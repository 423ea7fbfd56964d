include_guard(GLOBAL)

# The window loads "logo.png" from the current directory; a copy beside each built executable lets it run from
# the build tree. Relinking on a new logo re-runs the copy. Install rules are not part of this.
function(zephyrine_copy_logo target)
  set(logo ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../images/logo.png)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${logo})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${logo} $<TARGET_FILE_DIR:${target}>/logo.png
    VERBATIM)
endfunction()
