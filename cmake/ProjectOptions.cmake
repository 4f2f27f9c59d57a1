# Compile and link settings every target of the project shares.
add_library(sopora_options INTERFACE)
target_compile_definitions(sopora_options INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800 STRICT)
target_compile_options(sopora_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX,C>:-Wall -Wextra -Wshadow -Wformat=2 -Wcast-align -Wnull-dereference
    -Wduplicated-cond -Wlogical-op -Werror=return-type -Werror=format-security>
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>)
# A static runtime, so each .exe runs alone on a stock Windows.
target_link_options(sopora_options INTERFACE -static -static-libgcc -static-libstdc++ -municode)

# sopora_add_program(NAME SOURCES...): a GUI program with a wWinMain entry point.
# Its link fails when it imports a DLL that Windows does not ship.
function(sopora_add_program name)
  add_executable(${name} WIN32 ${ARGN})
  target_link_libraries(${name} PRIVATE sopora_options)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check_imports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${name}>
    VERBATIM)
endfunction()
