# Mail decoding: Pelnor's parser beside GMime 3 on a generated corpus.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GMIME REQUIRED IMPORTED_TARGET gmime-3.0)
add_executable(decode_bench ${CMAKE_CURRENT_LIST_DIR}/decode_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decode_bench_corpus.cpp)
target_link_libraries(decode_bench PRIVATE pelnor_mime PkgConfig::GMIME)
