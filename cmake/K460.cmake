# Helpers shared by every folder of the build.

# Adds each listed folder that exists and carries a CMakeLists.txt, and below
# it every sub-folder that does, so new parts of the suite join the build
# by adding their own CMakeLists.txt only.
function(k460_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    elseif(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
      file(GLOB_RECURSE lists RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
           CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*/CMakeLists.txt)
      list(SORT lists)
      foreach(list IN LISTS lists)
        get_filename_component(sub ${list} DIRECTORY)
        # Only the outermost CMakeLists.txt of a tree: inner ones are added by it.
        set(nested FALSE)
        foreach(other IN LISTS lists)
          get_filename_component(otherdir ${other} DIRECTORY)
          if(NOT otherdir STREQUAL sub AND sub MATCHES "^${otherdir}/")
            set(nested TRUE)
          endif()
        endforeach()
        if(NOT nested)
          add_subdirectory(${sub})
        endif()
      endforeach()
    endif()
  endforeach()
endfunction()

# A shared library of the suite (or an outside component): loaded by name at
# run time through the platform, so it is named exactly as it is loaded
# ("xlgraph.so"), exports only what it marks for export, and links against
# the platform and nothing of the suite.
function(k460_add_module name)
  add_library(${name} SHARED ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
                        VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${name} PRIVATE k460platform)
  k460_no_undefined(${name})
endfunction()

# Shared libraries must resolve every symbol at link time, except where
# clang's sanitizers leave their runtime to the program.
function(k460_no_undefined target)
  if(NOT (K460_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

# A GoogleTest program registered with CTest test by test.
function(k460_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE k460testsupport ${T_LIBS} GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# Compiles a resource script (UTF-8 text, see tools/k460rc/parser.h) into
# the library or program `target`: k460rc turns it into a C++ source that
# carries the resources and their directory. The script, the headers it
# includes and the data files it names are dependencies (k460rc writes them
# to a depfile), so editing any of them rebuilds. One script per target.
function(k460_add_resources target script)
  get_target_property(done ${target} K460_RESOURCE_SCRIPT)
  if(done)
    message(FATAL_ERROR "${target} already has the resource script ${done}; a target carries one")
  endif()
  get_filename_component(script ${script} ABSOLUTE)
  get_filename_component(stem ${script} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_${stem}_resources.cpp)
  # A program's resources are found through its dynamic symbol table, under
  # a name of their own (the libraries it loads use the library name).
  get_target_property(type ${target} TYPE)
  set(program_option "")
  if(type STREQUAL "EXECUTABLE")
    set(program_option --program)
    set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
  endif()
  add_custom_command(
    OUTPUT ${output}
    COMMAND k460rc -o ${output} --depfile ${output}.d ${program_option} ${script}
    DEPENDS k460rc ${script}
    DEPFILE ${output}.d
    COMMENT "Compiling resources ${stem} of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  set_target_properties(${target} PROPERTIES K460_RESOURCE_SCRIPT ${script})
endfunction()

# A libFuzzer target (configure a tree of its own with clang and
# -DK460_FUZZ=ON; scripts/fuzz does that and runs them all). The sources of
# LIBRARY are compiled again into the target with coverage instrumentation and
# the address and undefined-behaviour sanitizers, so no other target changes.
# CORPUS names a folder of seed inputs, DICT a libFuzzer dictionary.
function(k460_add_fuzzer name)
  cmake_parse_arguments(F "" "LIBRARY;CORPUS;DICT" "SOURCES" ${ARGN})
  if(NOT K460_FUZZ)
    return()
  endif()
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "K460_FUZZ needs clang; ${name} is not built")
    return()
  endif()
  get_target_property(dir ${F_LIBRARY} SOURCE_DIR)
  get_target_property(library_sources ${F_LIBRARY} SOURCES)
  set(sources)
  foreach(source IN LISTS library_sources)
    if(IS_ABSOLUTE ${source})
      list(APPEND sources ${source})
    else()
      list(APPEND sources ${dir}/${source})
    endif()
  endforeach()
  add_executable(${name} ${F_SOURCES} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE k460platform)
  set(flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(${name} PRIVATE ${flags})
  target_link_options(${name} PRIVATE ${flags})
  # scripts/fuzz reads this list: name, seed folder, dictionary.
  file(APPEND ${CMAKE_BINARY_DIR}/fuzzers.txt "${name}\t${F_CORPUS}\t${F_DICT}\n")
endfunction()
