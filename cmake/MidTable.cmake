# The ITU's table of maritime identification digits (data/mid.tsv) becomes a compile-time table:
# orven_mid_table(TARGET) writes generated/model/MidTable.inc in the binary folder and lets TARGET
# include it.
function(orven_mid_table target)
  set(data ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../data/mid.tsv)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${data})
  file(STRINGS ${data} lines REGEX "^[0-9]+\t")
  set(entries "")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^([0-9]+)\t(.*)$" matched "${line}")
    string(REPLACE "\\" "\\\\" country "${CMAKE_MATCH_2}")
    string(REPLACE "\"" "\\\"" country "${country}")
    string(APPEND entries "    {${CMAKE_MATCH_1}, \"${country}\"},\n")
  endforeach()
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/generated/model/MidTable.inc
       CONTENT "// Made by the build from data/mid.tsv: edit that file, not this one.\n${entries}" @ONLY)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
endfunction()
