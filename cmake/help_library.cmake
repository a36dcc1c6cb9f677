# Builds the help library: the line "!<arch>" and then every topic source
# under data/help/, in name order. Run with -DSOURCE_DIR=... -DOUTPUT=...
file(GLOB sources ${SOURCE_DIR}/*.hlp)
list(SORT sources)
set(library "!<arch>\n")
foreach(source IN LISTS sources)
  file(READ ${source} text)
  string(APPEND library "${text}")
  if(NOT text MATCHES "\n$")
    string(APPEND library "\n")
  endif()
endforeach()
file(WRITE ${OUTPUT}.new "${library}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
