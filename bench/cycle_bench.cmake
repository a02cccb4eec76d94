# A check cycle over a private Dovecot beside mpop's second run, and the
# memory of a first check of large mails (bench/cycle_bench.sh).
add_executable(cycle_bench cycle_bench.cpp bench_client.cpp)
target_link_libraries(cycle_bench PRIVATE pelnor_check pelnor_bench_support)
