# What the Windows cross build links: libpng compiled here from its source tree (Debian's
# libpng1.6 source package, which scripts/setup unpacks into build/deps/libpng), zlib from
# libz-mingw-w64-dev, googletest from Debian's googletest sources, and the C and C++ runtimes and
# winpthread linked statically, so that every program and the plug-in import only system DLLs.

set(LUMIVANE_LIBPNG_SOURCE "${PROJECT_SOURCE_DIR}/build/deps/libpng" CACHE PATH
    "libpng 1.6 source tree for the Windows build")
set(LUMIVANE_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH
    "googletest source tree for the Windows tests")

if(NOT EXISTS "${LUMIVANE_LIBPNG_SOURCE}/png.h")
  message(FATAL_ERROR "No libpng source at ${LUMIVANE_LIBPNG_SOURCE}: run scripts/setup --windows")
endif()

# -static also takes winpthread in; -static-libstdc++ -static-libgcc alone would still import
# libwinpthread-1.dll, which a user's host does not have.
add_link_options(-static)

# zlib too: the import library would make the plug-in need zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

set(libpng_sources png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c
    pngrutil.c pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c)
list(TRANSFORM libpng_sources PREPEND "${LUMIVANE_LIBPNG_SOURCE}/")
add_library(lumivane_libpng STATIC ${libpng_sources})
configure_file("${LUMIVANE_LIBPNG_SOURCE}/scripts/pnglibconf.h.prebuilt"
               "${CMAKE_BINARY_DIR}/libpng/pnglibconf.h" COPYONLY)
target_include_directories(lumivane_libpng SYSTEM PUBLIC "${LUMIVANE_LIBPNG_SOURCE}"
                           "${CMAKE_BINARY_DIR}/libpng")
target_link_libraries(lumivane_libpng PUBLIC ZLIB::ZLIB)
target_compile_options(lumivane_libpng PRIVATE -w)
add_library(PNG::PNG ALIAS lumivane_libpng)

if(LUMIVANE_TESTS)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Defines GTest::gtest, GTest::gtest_main, GTest::gmock and GTest::gmock_main.
  add_subdirectory("${LUMIVANE_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
endif()
