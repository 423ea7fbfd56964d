# Writes a C++ source that holds the bytes of one file, so that no tool has to be built for the host and the same
# build cross-compiles. Usage: cmake -DINPUT=<file> -DOUTPUT=<cpp> -DSYMBOL=<function name> -P EmbedFile.cmake
foreach(arg INPUT OUTPUT SYMBOL)
  if(NOT DEFINED ${arg})
    message(FATAL_ERROR "EmbedFile.cmake needs -D${arg}=...")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty")
endif()
math(EXPR size "${hex_length} / 2")

# 32 bytes to a line keeps the source readable by editors and diff tools.
string(REPEAT "." 64 line_of_hex)
string(REGEX REPLACE "(${line_of_hex})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")

get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}" "// Generated from ${name} (${size} bytes) by EmbedFile.cmake; edits are lost.
#include <cstdint>
#include <span>

namespace zres::detail {
namespace {
const std::uint8_t kBytes[${size}] = {
${bytes}
};
} // namespace

std::span<const std::uint8_t> ${SYMBOL}() { return kBytes; }
} // namespace zres::detail
")
