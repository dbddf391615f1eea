# doctest for a cross build: the framework is one header, the same for every target, so
# the build machine's copy serves. Its package config would put the whole of the build
# machine's /usr/include on the target's include path, so only the doctest folder is
# exposed, through a link in the build tree.
find_path(AMPERO_DOCTEST_INCLUDE_DIR doctest/doctest.h PATHS /usr/include
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(doctest_only_include ${CMAKE_BINARY_DIR}/doctest-include)
file(MAKE_DIRECTORY ${doctest_only_include})
file(CREATE_LINK ${AMPERO_DOCTEST_INCLUDE_DIR}/doctest ${doctest_only_include}/doctest SYMBOLIC)
add_library(doctest::doctest INTERFACE IMPORTED)
target_include_directories(doctest::doctest SYSTEM INTERFACE ${doctest_only_include})
# The win32-threads mingw runtime has no std::mutex; the tests run on one thread anyway.
if(WIN32)
    target_compile_definitions(doctest::doctest INTERFACE DOCTEST_CONFIG_NO_MULTITHREADING)
endif()
