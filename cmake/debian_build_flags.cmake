# The package build's compiler and linker flags: Debian's, as dpkg-buildflags gives them
# to every package, with all hardening features (fortified functions, stack protector,
# format checks, read-only relocations bound at start). Included before the sources'
# folders, so every target of the package build gets them.

set(ENV{DEB_BUILD_MAINT_OPTIONS} "hardening=+all")
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    # Run from the source folder: the file-prefix map it adds maps that folder to ".".
    execute_process(COMMAND dpkg-buildflags --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE debian_${kind}
        OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# CMake takes no CPPFLAGS; the preprocessor's flags go with the compiler's.
string(APPEND CMAKE_CXX_FLAGS " ${debian_CPPFLAGS} ${debian_CXXFLAGS}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${debian_LDFLAGS}")
message(STATUS "Debian build flags: ${debian_CPPFLAGS} ${debian_CXXFLAGS} ${debian_LDFLAGS}")
