# Which unit goes where. Each layer is a library of its own that links only
# the layers below it: foundation (with the platform layer), index, engine,
# window, app. The platform layer is chosen by directory, win32/ or posix/.
# The CRC's fast path is chosen by processor family the same way.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    set(FENDRIX_CRC_FOLDING x86-64)
else()
    set(FENDRIX_CRC_FOLDING portable)
endif()
file(GLOB FENDRIX_FOUNDATION_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/foundation/*.cpp
    ${CMAKE_SOURCE_DIR}/foundation/checksum/*.cpp
    ${CMAKE_SOURCE_DIR}/foundation/checksum/${FENDRIX_CRC_FOLDING}/*.cpp
    ${CMAKE_SOURCE_DIR}/foundation/platform/*.cpp)
file(GLOB FENDRIX_WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/foundation/platform/win32/*.cpp)
file(GLOB FENDRIX_POSIX_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/foundation/platform/posix/*.cpp)
file(GLOB FENDRIX_INDEX_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/index/*.cpp)
file(GLOB FENDRIX_ENGINE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/engine/*.cpp)
file(GLOB FENDRIX_WINDOW_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/window/*.cpp)

# The maker's web page; while empty the window shows no link.
set(FENDRIX_WEB_ADDRESS "" CACHE STRING "Web address of the maker's page, shown and opened by the window")
set_source_files_properties(window/WebAddress.cpp PROPERTIES
    COMPILE_DEFINITIONS "FENDRIX_WEB_ADDRESS=\"${FENDRIX_WEB_ADDRESS}\"")

# The parity's XOR runs over every byte that a split with /PARITY writes:
# the one loop where speed is worth more than size. -O3 turns its word loop
# into vector instructions; -Os, which the Windows program is built with,
# leaves it one word at a time.
set_source_files_properties(${CMAKE_SOURCE_DIR}/foundation/checksum/XorBlock.cpp PROPERTIES COMPILE_OPTIONS -O3)

# MD5 runs over every byte that a split with recovery files writes, beside
# the recovery arithmetic: as the XOR above, worth -O3 where the rest is -Os.
set_source_files_properties(${CMAKE_SOURCE_DIR}/foundation/checksum/Md5.cpp PROPERTIES COMPILE_OPTIONS -O3)
