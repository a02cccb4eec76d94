# POP3 retrieval with Pop3Session beside mpop and Python's poplib, all against the
# same private Dovecot that the POP3 tests use.
add_executable(pop3_bench pop3_bench.cpp)
target_link_libraries(pop3_bench PRIVATE pelnor_pop3 pelnor_bench_support)
