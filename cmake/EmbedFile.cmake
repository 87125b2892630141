# Turns a binary file into a C++ source holding its bytes, so that the native
# build can link the compiled resources in: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=...
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT_NAME}; do not edit.\n"
  "#include <cstddef>\n"
  "extern \"C\" const unsigned char ${SYMBOL}[] = {\n${bytes}\n};\n"
  "extern \"C\" const std::size_t ${SYMBOL}_size = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
