# The Windows build: links the saver library against the system DLLs, compiles
# the dialog and icon resources, and makes the program brittleview.scr, a GUI
# program linked statically so that it imports nothing but system DLLs.
# Included by the top-level CMakeLists.txt when cross-compiling for Windows.

enable_language(RC)

# Everything (C++ runtime, libgcc, winpthread) goes into the executables.
add_link_options(-static -static-libgcc -static-libstdc++)
# A Release build is what the installer ships: without its symbol tables.
add_link_options($<$<CONFIG:Release>:-s>)

target_compile_definitions(brittleview_lib PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(brittleview_lib PUBLIC
  opengl32 glu32 gdi32 comctl32 shell32 advapi32 user32)

# The resources (dialogs 2003 and 103, icon 100, string 1, manifest 1, version
# 1). windres takes none of the compiler's warning flags, so this object
# library starts with none.
set(BV_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/src/platform/win32/resources)
add_library(brittleview_resources OBJECT ${BV_RESOURCE_DIR}/brittleview.rc)
set_target_properties(brittleview_resources PROPERTIES COMPILE_OPTIONS "")
# The manifest and the version header are generated into build/generated,
# where windres finds them as it finds the icon.
configure_file(${BV_RESOURCE_DIR}/brittleview.manifest.in generated/brittleview.manifest @ONLY)
target_include_directories(brittleview_resources PRIVATE ${BV_RESOURCE_DIR}
  ${CMAKE_BINARY_DIR}/generated)
set_property(SOURCE ${BV_RESOURCE_DIR}/brittleview.rc APPEND PROPERTY OBJECT_DEPENDS
  ${BV_RESOURCE_DIR}/resource.h ${BV_RESOURCE_DIR}/brittleview.ico
  ${CMAKE_BINARY_DIR}/generated/brittleview.manifest ${CMAKE_BINARY_DIR}/generated/bv_version.h)
# Every program linked with the library carries the resources, so the unit
# tests can load the very templates the saver shows.
target_link_libraries(brittleview_lib INTERFACE $<TARGET_OBJECTS:brittleview_resources>)

add_executable(brittleview WIN32 ${BV_ENTRY})
target_link_libraries(brittleview PRIVATE brittleview_lib)
set_target_properties(brittleview PROPERTIES OUTPUT_NAME brittleview SUFFIX .scr)

# Stand-ins for the Windows 95 family's password libraries, loaded by name by
# the saver in the end-to-end checks under Wine (scripts/test-windows). They
# go to their own folder, so a saver run from the build folder never finds them.
if(BV_TESTS)
  foreach(stand_in password_cpl mpr_dll)
    add_library(test_${stand_in} SHARED ${CMAKE_SOURCE_DIR}/tests/wine/test_${stand_in}.cpp)
    # Exported by their plain names, as GetProcAddress looks them up.
    target_link_options(test_${stand_in} PRIVATE -Wl,--kill-at)
    set_target_properties(test_${stand_in} PROPERTIES PREFIX ""
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/wine-test)
  endforeach()
  set_target_properties(test_password_cpl PROPERTIES OUTPUT_NAME PASSWORD SUFFIX .CPL)
  set_target_properties(test_mpr_dll PROPERTIES OUTPUT_NAME MPR SUFFIX .DLL)
endif()

# The installer, built in the 32-bit tree.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  include(${CMAKE_SOURCE_DIR}/cmake/nsis.cmake)
endif()
