# twi_version_resource(<out-variable> <version>)
#
# Makes the install center's resource file (manifest and version resource) for a
# file version such as 1.2.0.99 and puts its path into <out-variable>. The
# program is built with the project's version; a second build with another
# version (the stand-in update package carries one) takes the same sources and
# only another resource file.
function(twi_version_resource out version)
  string(REPLACE "." "," commas ${version})
  set(TWI_VERSION_COMMAS ${commas})
  set(TWI_VERSION_TEXT ${version})
  set(TWI_MANIFEST ${CMAKE_SOURCE_DIR}/app/TWInstall.manifest)
  set(file ${CMAKE_BINARY_DIR}/resources/TWInstall-${version}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/app/TWInstall.rc.in ${file} @ONLY)
  # The resource file embeds the manifest: a change to it rebuilds the resources
  # (here; tests/CMakeLists.txt says the same for the test programs).
  set_source_files_properties(${file} PROPERTIES OBJECT_DEPENDS ${TWI_MANIFEST})
  set(${out} ${file} PARENT_SCOPE)
endfunction()
