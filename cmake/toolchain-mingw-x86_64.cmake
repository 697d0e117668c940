# The same module and suites built for 64-bit Windows, run under Wine's 64-bit
# loader: it checks the Windows platform layer and the Windows loader where
# 32-bit programs cannot run. Used by the `windows64` preset.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(MOLV_MINGW_TRIPLE x86_64-w64-mingw32)
set(MOLV_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
