# GoogleTest built from the distribution's sources for the Windows target
# (there is no prebuilt cross library). Defines GTest::gtest and GTest::gtest_main.
if(NOT TARGET gtest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  # Third-party code: built without the project's -Werror.
  get_directory_property(bv_saved_options COMPILE_OPTIONS)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${bv_saved_options}")
endif()
# gtest's assertion macros guard against a dangling else themselves; GCC sees
# through the guard when the headers are not in its default search path, which
# the distribution's prebuilt gtest on Linux is.
target_compile_options(gtest INTERFACE -Wno-dangling-else)
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
