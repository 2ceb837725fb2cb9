# libsodium, which the crypto layer (platform/crypto) checks signatures and hashes with;
# the layer itself is built by twi_layer in the top-level CMakeLists.txt.
# scripts/install-deps.sh builds it from Debian's source package, static and minimal,
# once for each Windows processor, into ${TWI_SODIUM_BASE}-<processor>.
set(TWI_SODIUM_BASE /usr/local/twi-sodium CACHE PATH
    "Installed libsodium builds: <base>-i686 and <base>-x86_64")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(twi_sodium_arch x86_64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
  set(twi_sodium_arch i686)
else()
  message(FATAL_ERROR "No libsodium build for the processor '${CMAKE_SYSTEM_PROCESSOR}'")
endif()
set(TWI_SODIUM_PREFIX ${TWI_SODIUM_BASE}-${twi_sodium_arch})
if(NOT EXISTS ${TWI_SODIUM_PREFIX}/lib/libsodium.a OR NOT EXISTS ${TWI_SODIUM_PREFIX}/include/sodium.h)
  message(FATAL_ERROR "libsodium for ${twi_sodium_arch} not found in ${TWI_SODIUM_PREFIX}: "
                      "run scripts/install-deps.sh")
endif()
add_library(twi_sodium STATIC IMPORTED GLOBAL)
set_target_properties(twi_sodium PROPERTIES
  IMPORTED_LOCATION ${TWI_SODIUM_PREFIX}/lib/libsodium.a
  INTERFACE_INCLUDE_DIRECTORIES ${TWI_SODIUM_PREFIX}/include
  # The static library's headers must not declare its functions as DLL imports.
  INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC
  # Its random numbers come from RtlGenRandom (SystemFunction036 of advapi32).
  INTERFACE_LINK_LIBRARIES advapi32)
