# Sanitizers apply to every target of the build, so the libraries under test are instrumented too.
if(ZEPHYRINE_SANITIZE)
  set(_flags -fsanitize=${ZEPHYRINE_SANITIZE} -fno-omit-frame-pointer -g)
  if(ZEPHYRINE_SANITIZE MATCHES "undefined")
    list(APPEND _flags -fno-sanitize-recover=undefined)
  endif()
  # GCC's flow analysis misreads instrumented code (std::function inside std::regex, for one) and warns of
  # uninitialised values that are not; the plain build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND _flags -Wno-maybe-uninitialized)
  endif()
  add_compile_options(${_flags})
  add_link_options(-fsanitize=${ZEPHYRINE_SANITIZE})
endif()
