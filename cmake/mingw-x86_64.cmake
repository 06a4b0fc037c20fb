# Cross-build for 64-bit Windows, from the same sources, resources and flags.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
