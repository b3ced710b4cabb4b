# Runs a libFuzzer target for RUNS inputs or SECONDS seconds, whichever comes first, over a fresh copy of
# the seed corpus SEEDS, kept in CORPUS. Failing inputs are written with the prefix ARTIFACTS. CTest calls
# this with those variables set. Inputs may be 16 KB, so that the seeds nesting 2,000 deep stay whole.
file(REMOVE_RECURSE "${CORPUS}")
file(COPY "${SEEDS}/" DESTINATION "${CORPUS}")
execute_process(
    COMMAND "${FUZZER}" -runs=${RUNS} -max_total_time=${SECONDS} -max_len=16384 -timeout=10
            -artifact_prefix=${ARTIFACTS} "${CORPUS}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the failing input is beside ${ARTIFACTS}")
endif()
