# SPDX-License-Identifier: GPL-3.0-or-later
# The whole-picture edits against ImageMagick; needs no window (see compare_edits.sh).
add_executable(bench_edits bench_edits.cpp)
target_link_libraries(bench_edits PRIVATE mokaran_core benchmark::benchmark)
