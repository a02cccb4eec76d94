# Wrapping a long body line: WrapText against the literal rule.
add_executable(wrap_bench ${CMAKE_CURRENT_LIST_DIR}/wrap_bench.cpp)
target_include_directories(wrap_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/app)
target_link_libraries(wrap_bench PRIVATE pelnor_check benchmark::benchmark)
