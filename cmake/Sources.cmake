# Which unit goes where. Each layer is a library of its own that links only
# the layers below it: foundation (with the platform layer), index, engine,
# window, app. The platform layer is chosen by directory, win32/ or posix/.
# The fast paths of the CRC and of the GF(2^16) multiply-add are chosen by
# processor family the same way.
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

# The GF(2^16) multiply-add runs over every byte of every recovery slice,
# once for each input slice: the same holds for its kernels. The AVX2 code
# spills 32-byte registers to a stack that MinGW aligns to 16 only, so on
# Windows every aligned vector move is assembled as an unaligned one.
set(FENDRIX_GF16_KERNELS ${CMAKE_SOURCE_DIR}/foundation/checksum/Gf16TableKernel.cpp
    ${CMAKE_SOURCE_DIR}/foundation/checksum/${FENDRIX_CRC_FOLDING}/Gf16Kernels.cpp
    ${CMAKE_SOURCE_DIR}/foundation/checksum/${FENDRIX_CRC_FOLDING}/Md5Lanes.cpp)
if(WIN32 AND FENDRIX_CRC_FOLDING STREQUAL "x86-64")
    set_source_files_properties(${FENDRIX_GF16_KERNELS} PROPERTIES COMPILE_OPTIONS "-O3;-Wa,-muse-unaligned-vector-move")
else()
    set_source_files_properties(${FENDRIX_GF16_KERNELS} PROPERTIES COMPILE_OPTIONS -O3)
endif()

# MD5 runs over every byte that a split with recovery files writes. -O3
# writes its 64 steps out, a third faster and three times the size: worth it
# natively, not in the Windows program, whose bulk of bytes goes through the
# vector lanes (Md5Lanes.h) where the processor has them.
if(NOT WIN32)
    set_source_files_properties(${CMAKE_SOURCE_DIR}/foundation/checksum/Md5.cpp PROPERTIES COMPILE_OPTIONS -O3)
endif()
