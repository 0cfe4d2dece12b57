# Shared build settings and helpers.

set(VELMORA_WARNINGS -Wall -Wextra -Werror)

if(VELMORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VELMORA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# velmora_layer_includes(<target> <PUBLIC|PRIVATE>)
# Code includes headers by their path from the source root ("platform/vbrt/VbError.h").  A
# target does not see the whole source root: it sees its own folder through a folder of links,
# build/layers/<target>/<folder> -> <source folder>, and the folders of the libraries it links
# (their PUBLIC include path).  So a library can include only what it links, and the links of
# each library state the layers it may use (scripts/check-layers holds them to the design).
function(velmora_layer_includes target scope)
  file(RELATIVE_PATH folder ${VELMORA_SOURCE_ROOT} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()

# velmora_library(<target> [DEPS ...] [PUBLIC_DEPS ...] [EXCLUDE ...])
# Builds every .cpp of the calling folder into a static library.  PUBLIC_DEPS are the layers
# its headers and code use; DEPS those only its code uses.
function(velmora_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  add_library(${target} STATIC ${sources})
  velmora_layer_includes(${target} PUBLIC)
  target_compile_options(${target} PRIVATE ${VELMORA_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
endfunction()

# velmora_gtest(<target> SOURCES ... LIBS ... [ENV ...] [LABELS ...] [FIXTURES ...])
# FIXTURES: CTest fixtures every test of the target needs (made once per run before them).
function(velmora_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV;LABELS;FIXTURES" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_include_directories(${target} PRIVATE ${VELMORA_SOURCE_ROOT})
  target_compile_options(${target} PRIVATE ${VELMORA_WARNINGS})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  set(props)
  if(ARG_ENV)
    # Discovered tests take the environment as one value: a second entry would be read as a
    # property name, so pass further settings as compile definitions.
    list(LENGTH ARG_ENV env_count)
    if(env_count GREATER 1)
      message(FATAL_ERROR "velmora_gtest(${target}): give ENV one entry")
    endif()
    list(APPEND props ENVIRONMENT "${ARG_ENV}")
  endif()
  if(ARG_LABELS)
    list(APPEND props LABELS "${ARG_LABELS}")
  endif()
  if(ARG_FIXTURES)
    list(APPEND props FIXTURES_REQUIRED "${ARG_FIXTURES}")
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
