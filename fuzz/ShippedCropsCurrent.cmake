# Fails when data/shipped-crops.csv is no longer what `tavik workbook` reads from the shipped
# workbook. To bring it up to date:
#   build/dev/wizard/tavik workbook wizard/resources/SampleData.xls > fuzz/data/shipped-crops.csv
execute_process(COMMAND ${TAVIK} workbook ${WORKBOOK} OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tavik workbook ${WORKBOOK} ended with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "${EXPECTED} is not what tavik workbook reads from ${WORKBOOK}; "
                      "write it again with: tavik workbook ${WORKBOOK} > ${EXPECTED}")
endif()
