# SPDX-License-Identifier: GPL-3.0-or-later
# The batch JPEG shrink against a plain libjpeg loop; needs no window (see compare_shrink.sh).
add_executable(bench_shrink bench_shrink.cpp)
target_link_libraries(bench_shrink PRIVATE mokaran_core JPEG::JPEG benchmark::benchmark)
