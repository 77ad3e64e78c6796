# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one fuzz target for RUNS inputs, or ten minutes if that comes first (a target that checks
# a whole tape's views runs a few dozen large inputs a second under the sanitizers), over a
# scratch copy of its seeds (cmake -P, with FUZZER, SEEDS, SCRATCH and RUNS set). An input taking
# over ten seconds counts as a hang (generous, as a shared CI machine may stall; the long runs by
# hand use one second); any finding is saved in SCRATCH and fails the test.
foreach(variable FUZZER SEEDS SCRATCH RUNS)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "RunFuzzer.cmake needs -D${variable}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/corpus ${SCRATCH}/findings)
file(COPY ${SEEDS}/ DESTINATION ${SCRATCH}/corpus)

execute_process(
    COMMAND ${FUZZER} -runs=${RUNS} -max_total_time=600 -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 -artifact_prefix=${SCRATCH}/findings/ ${SCRATCH}/corpus
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${SCRATCH}/findings")
endif()
