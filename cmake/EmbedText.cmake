# cmake -DOUT=file.cpp -DSYMBOLS="a;b" -DFILES="x;y" -P EmbedText.cmake
# Writes each file's bytes as a char array named by its symbol, with the
# byte count in <symbol>Size, for a program that carries data files inside.
set(text "// Generated from the build's data files; do not edit.\n")
list(LENGTH SYMBOLS count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET SYMBOLS ${i} symbol)
  list(GET FILES ${i} file)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND text "extern const unsigned char ${symbol}[] = {\n${bytes}0};\n")
  string(APPEND text "extern const unsigned ${symbol}Size = ${size};\n")
endforeach()
file(WRITE ${OUT} "${text}")
