# Build helpers shared by every folder.

set(VELK_WARNINGS -Wall -Wextra)
if(VELK_WERROR)
  list(APPEND VELK_WARNINGS -Werror)
endif()

if(VELK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
  add_compile_definitions(VELK_CHECKED_INDEX=1)
endif()
if(VELK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(VELK_CHECKED_INDEX=1)
endif()
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  add_compile_definitions(VELK_CHECKED_INDEX=1)
endif()

# Adds each folder that has a CMakeLists.txt, in the order given.
macro(velk_add_folders)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endmacro()

# Globs the *.cpp files of this folder and of each named subfolder into srcs (in the caller).
macro(velk_glob_sources)
  set(srcs)
  foreach(sub . ${ARGN})
    file(GLOB sub_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
    list(APPEND srcs ${sub_srcs})
  endforeach()
endmacro()

# velk_library(name [SUBDIRS s ...] DEPS a b ...): one static library from the *.cpp files of
# this folder and of the subfolders named.
function(velk_library name)
  cmake_parse_arguments(A "" "" "DEPS;SUBDIRS" ${ARGN})
  velk_glob_sources(${A_SUBDIRS})
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VELK_WARNINGS})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

# velk_test(name [SUBDIRS s ...] DEPS a b ... [LABELS gui]): one GoogleTest executable from the
# *.cpp files of this folder and of the subfolders named, its tests registered with CTest.
function(velk_test name)
  if(NOT VELK_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "DEPS;LABELS;SUBDIRS" ${ARGN})
  velk_glob_sources(${A_SUBDIRS})
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${VELK_WARNINGS})
  target_compile_definitions(${name} PRIVATE
    VELK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VELK_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    VELK_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data")
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gmock GTest::gtest_main)
  set(labels unit)
  if(A_LABELS)
    set(labels ${A_LABELS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}")
endfunction()

# velk_fuzz_target(name SOURCE file.cpp DEPS a b ...): a libFuzzer target when fuzzing is on;
# in every build a replay executable that feeds fuzz/corpus/<name>/ to the same entry point,
# registered with CTest.
function(velk_fuzz_target name)
  cmake_parse_arguments(A "" "SOURCE" "DEPS" ${ARGN})
  set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  if(VELK_FUZZ)
    add_executable(fuzz_${name} ${A_SOURCE})
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(fuzz_${name} PRIVATE ${VELK_WARNINGS})
    target_link_libraries(fuzz_${name} PRIVATE ${A_DEPS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    set_property(GLOBAL APPEND PROPERTY VELK_FUZZ_TARGETS ${name})
  endif()
  add_executable(replay_${name} ${A_SOURCE} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(replay_${name} PRIVATE ${VELK_WARNINGS})
  target_link_libraries(replay_${name} PRIVATE ${A_DEPS})
  if(VELK_TESTS)
    add_test(NAME fuzz_replay.${name} COMMAND replay_${name} ${corpus})
    set_tests_properties(fuzz_replay.${name} PROPERTIES LABELS "fuzz")
  endif()
endfunction()
