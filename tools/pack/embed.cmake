# Writes a C++ source holding a file's bytes:
#   cmake -DIN=<file> -DOUT=<file.cpp> -DNAME=<symbol> -P embed.cmake
# gives  extern const unsigned char NAME[];  extern const std::size_t NAMESize;
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" n)
math(EXPR size "${n} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUT}.tmp"
  "// Generated from ${IN}; do not edit.\n#include <cstddef>\n\n"
  "extern const unsigned char ${NAME}[] = {\n  ${bytes}\n};\n"
  "extern const std::size_t ${NAME}Size = ${size};\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
