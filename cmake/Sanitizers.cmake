# Sanitizers apply to every target of the build, so the libraries under test are instrumented too.
if(ZEPHYRINE_SANITIZE)
  set(_flags -fsanitize=${ZEPHYRINE_SANITIZE} -fno-omit-frame-pointer -g)
  if(ZEPHYRINE_SANITIZE MATCHES "undefined")
    list(APPEND _flags -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${_flags})
  add_link_options(-fsanitize=${ZEPHYRINE_SANITIZE})
endif()
