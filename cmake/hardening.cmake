# Every target is built with the hardening flags Debian builds its packages
# with (dpkg-buildflags): a stack protector in functions with arrays or
# addresses of locals, fortified string and memory functions (they need an
# optimised build; a packager's own -D_FORTIFY_SOURCE is left as it is),
# format strings checked, and the relocations resolved and then made
# read-only before the program starts. The Debian package test checks the
# binary for them.
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
if(NOT "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}}" MATCHES "_FORTIFY_SOURCE")
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
add_link_options(LINKER:-z,relro,-z,now)
