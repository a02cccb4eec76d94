# Wrapping a long body line: WrapText against the literal rule.
add_executable(wrap_bench ${CMAKE_CURRENT_LIST_DIR}/wrap_bench.cpp)
target_link_libraries(wrap_bench PRIVATE pelnor_print benchmark::benchmark)
