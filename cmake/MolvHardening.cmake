# The compiler's hardening, set once for the whole project before any target
# or engine is defined, so that every target, PCRE2 and RE2 get it alike.
# The module runs inside other people's processes; a distribution builds the
# libraries it ships with these flags, and so do we:
#   -fstack-protector-strong  a canary in every function with a local array
#   -D_FORTIFY_SOURCE=2       checked copies where the length is known to the
#                             compiler (glibc needs optimisation for it)
#   -fcf-protection           CET marks on x86-64
#   -z relro -z now           the GOT read-only once loaded (ELF)
#   -z noexecstack            no executable stack (ELF)
# Windows keeps ASLR and DEP from mingw-w64's linker defaults; the stack
# protector's runtime (libssp) is linked statically with the rest.
include(CheckCCompilerFlag)

# Sanitizer builds instrument memory accesses themselves; their interceptors
# and the fortified *_chk calls of glibc do not mix, so they go without it.
string(FIND "${CMAKE_C_FLAGS} ${CMAKE_CXX_FLAGS}" "-fsanitize=" molv_sanitized)

add_compile_options(-fstack-protector-strong)
if(molv_sanitized EQUAL -1)
  # Redefined, as a compiler may define it already (a redefinition warns).
  add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  check_c_compiler_flag(-fcf-protection MOLV_HAS_CF_PROTECTION)
  if(MOLV_HAS_CF_PROTECTION)
    add_compile_options(-fcf-protection)
  endif()
endif()

if(WIN32)
  # The flag at link time brings libssp; -static (the toolchain) makes it a
  # part of each file, so no libssp DLL has to ship beside ours.
  add_link_options(-fstack-protector-strong)
else()
  add_link_options(LINKER:-z,relro,-z,now LINKER:-z,noexecstack)
endif()
