# Cross build for Windows with Debian's mingw-w64, its tests run under Wine.
# The toolchain file of each target sets MOLV_MINGW_TRIPLE and MOLV_WINE_ARCH
# and includes this one.
set(CMAKE_SYSTEM_NAME Windows)
# The POSIX thread model: its C++ library has std::mutex, which GoogleTest
# needs (Debian's win32 flavour of GCC 12 lacks it).
set(CMAKE_C_COMPILER ${MOLV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MOLV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MOLV_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${MOLV_MINGW_TRIPLE}-objdump)

# Headers and libraries of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MOLV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program and DLL carries its own GCC, C++ and thread runtime, so each
# runs on a bare Windows (and under Wine) with no libgcc, libstdc++ or
# libwinpthread DLL beside it; only system DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine, in a Wine prefix private to this build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-run;${MOLV_WINE_ARCH};${CMAKE_BINARY_DIR}/wine-prefix")
