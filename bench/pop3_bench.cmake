# POP3 retrieval with TVekPOP beside mpop and Python's poplib, all against the
# same private Dovecot that the POP3 tests use.
add_executable(pop3_bench pop3_bench.cpp
  ${PROJECT_SOURCE_DIR}/tests/pop3/dovecot_fixture.cpp
  ${PROJECT_SOURCE_DIR}/tests/pop3/test_mails.cpp)
target_include_directories(pop3_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/pop3)
target_link_libraries(pop3_bench PRIVATE pelnor_pop3)
