# cmake -DFILES="a|b|c" -DBUDGET=bytes -P size_budget.cmake
# Fails when the files add up to more than BUDGET bytes; prints each size,
# so a failure shows which program grew.
string(REPLACE "|" ";" files "${FILES}")
set(total 0)
foreach(file IN LISTS files)
    file(SIZE "${file}" size)
    message(STATUS "${size} bytes  ${file}")
    math(EXPR total "${total} + ${size}")
endforeach()
message(STATUS "${total} bytes in all, budget ${BUDGET}")
if(total GREATER BUDGET)
    message(FATAL_ERROR "the shipped programs take ${total} bytes, over the budget of ${BUDGET}")
endif()
