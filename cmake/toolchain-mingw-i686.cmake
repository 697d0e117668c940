# The 32-bit Windows DLL (i686), the one hosts use. Used by the `windows` and
# `windows-stdcall` presets.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MOLV_MINGW_TRIPLE i686-w64-mingw32)
set(MOLV_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
