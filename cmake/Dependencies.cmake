# The cross-built libraries live in SOPORA_DEPS_DIR, made by scripts/setup.sh.
foreach(part openssl libjpeg googletest)
  if(NOT EXISTS "${SOPORA_DEPS_DIR}/${part}/.complete")
    message(FATAL_ERROR "${SOPORA_DEPS_DIR}/${part} is missing: run scripts/setup.sh as root first")
  endif()
endforeach()

add_library(sopora_openssl INTERFACE)
target_include_directories(sopora_openssl SYSTEM INTERFACE "${SOPORA_DEPS_DIR}/openssl/include")
target_link_libraries(sopora_openssl INTERFACE
  "${SOPORA_DEPS_DIR}/openssl/lib/libssl.a" "${SOPORA_DEPS_DIR}/openssl/lib/libcrypto.a"
  ws2_32 crypt32)
# No deprecated OpenSSL call may slip into the code.
target_compile_definitions(sopora_openssl INTERFACE OPENSSL_API_COMPAT=30000 OPENSSL_NO_DEPRECATED)

add_library(sopora_jpeg INTERFACE)
target_include_directories(sopora_jpeg SYSTEM INTERFACE "${SOPORA_DEPS_DIR}/libjpeg/include")
target_link_libraries(sopora_jpeg INTERFACE "${SOPORA_DEPS_DIR}/libjpeg/lib/libjpeg.a")

if(SOPORA_BUILD_TESTS)
  set(GTest_DIR "${SOPORA_DEPS_DIR}/googletest/lib/cmake/GTest")
  find_package(GTest REQUIRED CONFIG NO_DEFAULT_PATH PATHS "${SOPORA_DEPS_DIR}/googletest")
endif()
