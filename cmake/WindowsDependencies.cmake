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

# Google Benchmark for the benchmarks that run under Wine (-DLUMIVANE_BENCH=ON; the presets leave
# it off), built from Debian's benchmark source package, which scripts/setup unpacks into
# build/deps/benchmark. Only the library and benchmark::benchmark_main: no tests, no install.
if(LUMIVANE_BENCH)
  set(LUMIVANE_BENCHMARK_SOURCE "${PROJECT_SOURCE_DIR}/build/deps/benchmark" CACHE PATH
      "Google Benchmark source tree for the Windows benchmarks")
  if(NOT EXISTS "${LUMIVANE_BENCHMARK_SOURCE}/include/benchmark/benchmark.h")
    message(FATAL_ERROR "No Google Benchmark source at ${LUMIVANE_BENCHMARK_SOURCE}: the Windows "
                        "benchmarks (LUMIVANE_BENCH) need it; run scripts/setup --windows")
  endif()
  set(BENCHMARK_ENABLE_TESTING OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_GTEST_TESTS OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_INSTALL OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_WERROR OFF CACHE BOOL "" FORCE)
  # A cross build cannot run its feature probes; MinGW-w64 has both features.
  set(HAVE_STD_REGEX ON)
  set(HAVE_STEADY_CLOCK ON)
  # Debian's source reads no Git tags for its version: "0.0.0" makes it take its project()'s.
  set(GIT_VERSION "0.0.0")
  add_subdirectory("${LUMIVANE_BENCHMARK_SOURCE}" "${CMAKE_BINARY_DIR}/benchmark" EXCLUDE_FROM_ALL)
  target_compile_options(benchmark PRIVATE -w)
  target_compile_options(benchmark_main PRIVATE -w)
endif()
