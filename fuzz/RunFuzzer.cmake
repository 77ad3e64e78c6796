# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one fuzz target for RUNS inputs from the random seed SEED, over a scratch copy of its seeds
# (cmake -P, with FUZZER, SEEDS, SCRATCH, RUNS and SEED set). The seed and the count fix which
# inputs are tried (with no reloading of the corpus folder, which goes by the clock, and a scratch
# file name of one length), so that a commit gets the same verdict on any machine; longer
# runs that look for new faults are tools/fuzz-explore's. An input taking over ten seconds counts
# as a hang (generous, as a shared CI machine may stall; tools/fuzz-explore uses 30 s); any
# finding is saved in SCRATCH and fails the test.
foreach(variable FUZZER SEEDS SCRATCH RUNS SEED)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "RunFuzzer.cmake needs -D${variable}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/corpus ${SCRATCH}/findings)
file(COPY ${SEEDS}/ DESTINATION ${SCRATCH}/corpus)

execute_process(
    COMMAND ${FUZZER} -seed=${SEED} -runs=${RUNS} -reload=0 -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 -artifact_prefix=${SCRATCH}/findings/ ${SCRATCH}/corpus
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input is in ${SCRATCH}/findings")
endif()
