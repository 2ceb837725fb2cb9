# zlib's minizip, which the zip extraction layer (platform/unzip32) reads archives
# with; the layer itself is built by twi_layer in the top-level CMakeLists.txt.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# minizip's sources come from Debian's zlib source package (scripts/install-deps.sh).
set(TWI_MINIZIP_DIR /usr/local/src/twi-minizip/minizip CACHE PATH
    "Folder holding zlib's contrib/minizip sources")
if(NOT EXISTS ${TWI_MINIZIP_DIR}/unzip.c)
  message(FATAL_ERROR "minizip sources not found in ${TWI_MINIZIP_DIR}: run scripts/install-deps.sh")
endif()
add_library(twi_minizip STATIC ${TWI_MINIZIP_DIR}/unzip.c ${TWI_MINIZIP_DIR}/ioapi.c
                               ${TWI_MINIZIP_DIR}/iowin32.c)
# Read the archive in 256 KB pieces instead of minizip's 16 KB: fewer seeks and reads,
# which cost more under Wine than on Windows.
target_compile_definitions(twi_minizip PRIVATE UNZ_BUFSIZE=262144)
target_compile_options(twi_minizip PRIVATE -w)
target_include_directories(twi_minizip PUBLIC ${TWI_MINIZIP_DIR})
target_link_libraries(twi_minizip PUBLIC ZLIB::ZLIB)
