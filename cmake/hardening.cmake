# Linux builds for use carry the protections Debian builds its own packages
# with: a program that reads files from anywhere should have them. Debug builds
# (and so the sanitizer build) go without; Windows builds keep their own linker
# defaults (ASLR and DEP).
if(WIN32 OR MSVC)
    return()
endif()
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)
include(CheckPIESupported)

check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

set(vusk_release $<NOT:$<CONFIG:Debug>>)
add_compile_options($<${vusk_release}:-Wformat> $<${vusk_release}:-Werror=format-security>)
# -fcf-protection exists on x86 only.
foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "VUSK_CXX_HAS${flag}" supported)
    check_cxx_compiler_flag(${flag} ${supported})
    if(${supported})
        add_compile_options($<${vusk_release}:${flag}>)
    endif()
endforeach()
check_linker_flag(CXX "-Wl,-z,relro,-z,now" VUSK_LINKER_HAS_BINDNOW)
if(VUSK_LINKER_HAS_BINDNOW)
    add_link_options($<${vusk_release}:-Wl,-z,relro,-z,now>)
endif()

# _FORTIFY_SOURCE works only with optimisation, and where the compiler (as
# Ubuntu's does) or the packager's flags (dpkg-buildflags) set a level already,
# that level stays: a second definition would be a warning, and so an error.
# AddressSanitizer checks the same calls in its own way.
set(CMAKE_REQUIRED_FLAGS -O2)
check_cxx_source_compiles("#ifdef _FORTIFY_SOURCE
#error predefined
#endif
int main() {}" VUSK_CXX_LEAVES_FORTIFY_UNSET)
unset(CMAKE_REQUIRED_FLAGS)
if(VUSK_CXX_LEAVES_FORTIFY_UNSET AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE"
   AND NOT VUSK_SANITIZE)
    add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
