# Runs one fuzz target for 5 seconds on a fresh copy of its seed corpus.
#   cmake -DFUZZER=<exe> -DSEEDS=<dir> -DCORPUS=<dir> -P RunFuzzer.cmake
file(REMOVE_RECURSE ${CORPUS})
file(MAKE_DIRECTORY ${CORPUS})
if(EXISTS ${SEEDS})
  file(GLOB seeds ${SEEDS}/*)
  if(seeds)
    file(COPY ${seeds} DESTINATION ${CORPUS})
  endif()
endif()
# A refresh (velmod, images) makes hundreds of KEP conversations, INI reads and path lookups, each
# allocating: AddressSanitizer's filling of every new block and its 256 MB quarantine of freed
# ones (fresh pages, faulted in) took half of each run.  Use-after-free is still caught within
# the smaller quarantine.
set(ENV{ASAN_OPTIONS} "$ENV{ASAN_OPTIONS}:max_malloc_fill_size=0:quarantine_size_mb=16")
execute_process(COMMAND ${FUZZER} -max_total_time=5 -timeout=10 -rss_limit_mb=2048 ${CORPUS}
                WORKING_DIRECTORY ${CORPUS}/..
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed: ${result}")
endif()
