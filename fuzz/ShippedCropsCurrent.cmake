# Fails when data/shipped-crops.answer is no longer what tavik-workbook answers for the shipped
# workbook. To bring it up to date:
#   build/dev/wizard/tavik-workbook wizard/resources/SampleData.xls > fuzz/data/shipped-crops.answer
execute_process(COMMAND ${READER} ${WORKBOOK} OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tavik-workbook ${WORKBOOK} ended with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "${EXPECTED} is not what tavik-workbook answers for ${WORKBOOK}; "
                      "write it again with: tavik-workbook ${WORKBOOK} > ${EXPECTED}")
endif()
