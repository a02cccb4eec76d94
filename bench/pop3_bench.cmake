# POP3 retrieval with Pop3Session beside mpop and Python's poplib, all against the
# same private Dovecot that the POP3 tests use.
add_executable(pop3_bench pop3_bench.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/dovecot_fixture.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/test_mails.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/temp_dir.cpp)
target_link_libraries(pop3_bench PRIVATE pelnor_pop3)
