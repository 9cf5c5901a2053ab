# The Windows installer, brittleview-<version>-setup.exe, made by CPack's NSIS
# generator from cmake/nsis/NSIS.template.in:
#   (cd build-win32 && cpack -G NSIS)
# It is a 32-bit program that carries both savers: this tree's 32-bit one and
# the 64-bit one built in BV_WIN64_SCR's tree. Included by win32.cmake in the
# 32-bit build.

set(BV_WIN64_SCR "${CMAKE_SOURCE_DIR}/build-win64/brittleview.scr" CACHE FILEPATH
    "The 64-bit brittleview.scr that the installer puts on 64-bit Windows")

install(TARGETS brittleview RUNTIME DESTINATION .)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Brittleview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Brittleview developers")
set(CPACK_PACKAGE_FILE_NAME brittleview-${PROJECT_VERSION}-setup)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
# Read by the template.
set(CPACK_BV_WIN64_SCR ${BV_WIN64_SCR})
set(CPACK_BV_ICON ${BV_RESOURCE_DIR}/brittleview.ico)
include(CPack)
