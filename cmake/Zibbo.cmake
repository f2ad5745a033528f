# Build helpers shared by every folder.
#
# Each engine area is one static library built from the sources in its folder;
# its dependencies are named where the library is declared, so the layering of
# the engine is visible in the build files.

# zibbo_library(<area> [DEPS targets...] [PUBLIC_LIBS libs...] [EXCLUDE files...])
# Builds library zibbo_<area> from engine/<area>/*.cpp, less the EXCLUDE files
# (which the folder builds into a library of their own). Headers are included
# as "<area>/FName.h" from the engine root.
function(zibbo_library area)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(sources)
    add_library(zibbo_${area} STATIC ${sources})
    target_include_directories(zibbo_${area} PUBLIC ${PROJECT_SOURCE_DIR}/engine ${PROJECT_SOURCE_DIR})
    target_link_libraries(zibbo_${area} PUBLIC ${ARG_DEPS} ${ARG_LIBS})
  else()
    add_library(zibbo_${area} INTERFACE)
    target_include_directories(zibbo_${area} INTERFACE ${PROJECT_SOURCE_DIR}/engine ${PROJECT_SOURCE_DIR})
    target_link_libraries(zibbo_${area} INTERFACE ${ARG_DEPS} ${ARG_LIBS})
  endif()
endfunction()

# Test sources are the larger part of what a build compiles, and optimising
# them hard buys nothing: the code under test is in the libraries, which keep
# the build type's flags. A Release build compiles the tests (and their
# precompiled header, whose flags must match) at -O1, about a quarter faster
# than at -O3. The sanitizer builds are at -O1 already.
function(zibbo_test_optimisation name)
  target_compile_options(${name} PRIVATE $<$<CONFIG:Release>:-O1>)
endfunction()

# The precompiled header that every test binary reuses (made once, on first use).
function(zibbo_test_precompiled_header)
  if(TARGET zibbo_test_pch)
    return()
  endif()
  set(anchor ${PROJECT_BINARY_DIR}/tests/support/TestPch.cpp)
  if(NOT EXISTS ${anchor})
    file(WRITE ${anchor} "// Compiled only to make the tests' precompiled header.\n")
  endif()
  add_library(zibbo_test_pch STATIC ${anchor})
  target_link_libraries(zibbo_test_pch PRIVATE GTest::gtest GTest::gmock)
  zibbo_test_optimisation(zibbo_test_pch)
  target_precompile_headers(zibbo_test_pch PRIVATE <gtest/gtest.h> <gmock/gmock.h> <algorithm> <cstdint> <cstring>
                            <functional> <map> <memory> <string> <vector>)
endfunction()

# zibbo_test(<name> DEPS targets... [SOURCES files...])
# One GoogleTest binary per folder of tests/, registered with ctest. Without
# SOURCES every *.cpp of the current folder is used. Each test binary runs
# headless (see tests/support/TestMain.cpp).
function(zibbo_test name)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "DEPS;SOURCES;LABELS;FIXTURES" ${ARGN})
  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
  # The test main installs the operating system (see tests/support).
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} zibbo_platform_os GTest::gtest GTest::gmock Threads::Threads)
  # GoogleTest's and GoogleMock's headers are most of what a test source
  # compiles: every test binary reuses one precompiled header of them.
  zibbo_test_precompiled_header()
  target_precompile_headers(${name} REUSE_FROM zibbo_test_pch)
  zibbo_test_optimisation(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The headless environment is set by the tests' own main (tests/support).
  # Tests that hold a fixed machine resource (a well-known port) name it as
  # their lock, so that ctest never runs two of them at once.
  set(properties)
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if(ARG_RESOURCE_LOCK)
    list(APPEND properties RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
  # Tests that need what another test makes (the demo kit) name its fixture.
  if(ARG_FIXTURES)
    list(APPEND properties FIXTURES_REQUIRED "${ARG_FIXTURES}")
  endif()
  if(properties)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# zibbo_benchmark(<name> DEPS targets... SOURCES files...)
function(zibbo_benchmark name)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  # A benchmark's few sources each keep their own constants: no batches.
  set_target_properties(${name} PROPERTIES UNITY_BUILD OFF)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/bench)
  set_property(GLOBAL APPEND PROPERTY ZIBBO_BENCHMARKS ${name})
endfunction()

# zibbo_fuzzer(<name> DEPS targets... SOURCES harness.cpp CORPUS dir)
# With ZIBBO_FUZZ the harness is linked against libFuzzer. Otherwise it is linked
# against a small replay driver and ctest replays its seed corpus, so the seeds
# run on every test pass.
function(zibbo_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "DEPS;SOURCES" ${ARGN})
  if(ZIBBO_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY ZIBBO_FUZZERS ${name})
  else()
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    if(ARG_CORPUS)
      add_test(NAME ${name}.replay COMMAND ${name} ${ARG_CORPUS})
      set_tests_properties(${name}.replay PROPERTIES ENVIRONMENT "ZIBBO_HEADLESS=1")
    endif()
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/fuzz)
endfunction()

# Adds every folder below the current one (at any depth) that has a
# CMakeLists.txt, so each area keeps its own build file and nobody edits a
# shared list to add one.
function(zibbo_add_subfolders)
  file(GLOB_RECURSE lists CONFIGURE_DEPENDS LIST_DIRECTORIES false
       RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT lists)
  foreach(l ${lists})
    get_filename_component(dir ${l} DIRECTORY)
    add_subdirectory(${dir})
  endforeach()
endfunction()

# zibbo_unity_alone(files...)
# Compiles the named sources of the current folder on their own, outside the
# unity batches, because a file-local name of theirs is also used by another
# source of the same target. Renaming the name per file lets the file rejoin.
function(zibbo_unity_alone)
  foreach(f ${ARGN})
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${f} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
endfunction()

# zibbo_test_screen_files(<test target>)
# The screen files that `kittool screenfile` writes from the game's own
# manifests (content/screens, content/worlds), written once per build into
# the build tree instead of once per test: ctest starts one process per test,
# and under the sanitizers every start of the tool costs about half a second.
# The target gets KITTOOL_PATH, TEST_SCREEN_FILES and TEST_CONTENT_DIR; tests/support/ScreenFiles.h
# copies a manifest's files from there into a test's own folder.
function(zibbo_test_screen_files name)
  if(NOT TARGET ${name})
    return()
  endif()
  set(out ${PROJECT_BINARY_DIR}/tests/screenfiles)
  if(NOT TARGET zibbo_test_screen_files)
    set(stamps)
    foreach(kind screens worlds)
      file(GLOB manifests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/content/${kind}/*.lua)
      foreach(manifest IN LISTS manifests)
        get_filename_component(stem ${manifest} NAME_WE)
        set(dir ${out}/${kind}/${stem})
        add_custom_command(OUTPUT ${dir}.done
          COMMAND ${CMAKE_COMMAND} -E rm -rf ${dir}
          COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
          COMMAND sh -c "\"$<TARGET_FILE:kittool>\" screenfile \"${manifest}\" \"${dir}\" > /dev/null"
          COMMAND ${CMAKE_COMMAND} -E touch ${dir}.done
          DEPENDS ${manifest} kittool
          VERBATIM)
        list(APPEND stamps ${dir}.done)
      endforeach()
    endforeach()
    add_custom_target(zibbo_test_screen_files DEPENDS ${stamps})
  endif()
  add_dependencies(${name} zibbo_test_screen_files kittool)
  target_compile_definitions(${name} PRIVATE KITTOOL_PATH="$<TARGET_FILE:kittool>" TEST_SCREEN_FILES="${out}"
                             TEST_CONTENT_DIR="${PROJECT_SOURCE_DIR}/content")
endfunction()
