# The 32-bit Windows build: clang for the MSVC C++ ABI and lld-link, without MSVC or a Windows SDK.
# The player is an MSVC program, so the component's exceptions must be MSVC exceptions; the C and
# Win32 declarations come from Wine's headers, the few C++ library headers from runtime/include
# (MSVC layouts) and libstdc++'s header-only templates.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 10.0)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TREVALIN_WIN32_TARGET i686-pc-windows-msvc)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TREVALIN_WIN32_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${TREVALIN_WIN32_TARGET})
set(CMAKE_LINKER lld-link)
set(CMAKE_AR llvm-ar)
set(CMAKE_RANLIB llvm-ranlib)
set(CMAKE_RC_COMPILER llvm-rc)

# Probing links would need the runtime this build makes itself.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# No CRT chosen by flags: every module links the project's own runtime and ucrtbase.dll.
set(CMAKE_MSVC_RUNTIME_LIBRARY "")
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)

# Programs built here run under Wine (cmake/wine-run): in a prefix of the build tree that the
# tests' setup creates once, quiet, without the components Wine would otherwise install, in the
# C.UTF-8 locale (under C, Wine names files in ASCII only).
set(CMAKE_CROSSCOMPILING_EMULATOR
  env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix ${CMAKE_CURRENT_LIST_DIR}/wine-run
  CACHE STRING "How the build runs its Windows programs")

find_program(TREVALIN_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
find_program(TREVALIN_LLVM_READOBJ NAMES llvm-readobj llvm-readobj-14 REQUIRED)

# Header search order decides which <exception> or <cstdint> wins: ours, then clang's own,
# then Wine's C and Win32 headers, then libstdc++ (its <type_traits>, <utility>, <limits>).
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-resource-dir
  OUTPUT_VARIABLE _trevalin_clang_resource OUTPUT_STRIP_TRAILING_WHITESPACE)
file(GLOB _trevalin_libstdcxx LIST_DIRECTORIES true /usr/lib/gcc/i686-w64-mingw32/*-win32/include/c++)
list(SORT _trevalin_libstdcxx COMPARE NATURAL ORDER DESCENDING)
list(GET _trevalin_libstdcxx 0 _trevalin_libstdcxx)
set(_trevalin_system_includes
  ${CMAKE_CURRENT_LIST_DIR}/../runtime/include
  ${_trevalin_clang_resource}/include
  /usr/include/wine/wine/msvcrt
  /usr/include/wine/wine/windows
  ${_trevalin_libstdcxx}
  ${_trevalin_libstdcxx}/i686-w64-mingw32)

set(_trevalin_flags
  -msse2 -mfpmath=sse -ffp-contract=off
  # Thread-safe statics would need the static vcruntime.
  -fno-threadsafe-statics
  # Parse templates where they stand, so their errors show here as they do on Linux.
  -fno-delayed-template-parsing
  # A frame of a page or more calls the stack probe (_chkstk), whose walk over the guard pages
  # Wine cannot check: no frame may need it (an error with TREVALIN_WERROR).
  -Wframe-larger-than=4095
  -nostdinc -D_UCRT
  # WCHAR is wchar_t (16 bits here), as in the Windows SDK, not Wine's default char16_t.
  -DWINE_UNICODE_NATIVE
  # Wine's winnt.h defines inline helpers for 32-bit x86 under the names of clang's built-ins.
  -D_InterlockedAnd64=wine_InterlockedAnd64
  -D_InterlockedCompareExchangePointer=wine_InterlockedCompareExchangePointer
  -D_InterlockedExchangeAdd64=wine_InterlockedExchangeAdd64
  -D_InterlockedExchangePointer=wine_InterlockedExchangePointer
  -D_InterlockedIncrement64=wine_InterlockedIncrement64
  -D_InterlockedDecrement64=wine_InterlockedDecrement64
  -D_InterlockedOr64=wine_InterlockedOr64
  -D_InterlockedXor64=wine_InterlockedXor64)
foreach(_dir IN LISTS _trevalin_system_includes)
  list(APPEND _trevalin_flags -isystem ${_dir})
endforeach()
list(JOIN _trevalin_flags " " _trevalin_flags)
set(CMAKE_C_FLAGS_INIT "${_trevalin_flags}")
set(CMAKE_CXX_FLAGS_INIT "${_trevalin_flags}")

# Every module: no default libraries (the import libraries are explicit), SafeSEH tables, no manifest.
set(_trevalin_link "-Qunused-arguments -Xlinker /nodefaultlib -Xlinker /safeseh -Xlinker /manifest:no")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_trevalin_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_trevalin_link}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_trevalin_link}")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
