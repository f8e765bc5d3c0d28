# Builds the target ALVO in the build folder PASTA and passes when the compiler
# refused it with exactly ERROS errors about a dropped result.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${PASTA} --target ${ALVO}
                OUTPUT_VARIABLE saida ERROR_VARIABLE saida RESULT_VARIABLE codigo)
string(REGEX MATCHALL "error: ignoring return" erros "${saida}")
list(LENGTH erros n)
if(codigo EQUAL 0 OR NOT n EQUAL ${ERROS})
  message(FATAL_ERROR "expected ${ERROS} errors for dropped results, got ${n} (exit ${codigo}):\n${saida}")
endif()
message(STATUS "${n} dropped results refused")
