# How test programs are registered, and the check that every folder includes
# only the folders it links.

# orveline_add_test(TARGET [DESKTOP] [TIMEOUT seconds] [ARGS args...])
#
# Registers the test program TARGET with CTest under its own name, which
# follows one pattern: the folder, optionally a part, then "_test"
# (dxf_test, app_dialog_test). Every test has a time limit, so a regression
# fails rather than hangs (120 s unless given). DESKTOP marks a program that
# makes windows, reads pixels or starts programs beside it: those take the
# lock "desktop" and never run at the same time as each other.
function(orveline_add_test target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "DESKTOP" "TIMEOUT" "ARGS")
  if(NOT target MATCHES "^[a-z0-9]+(_[a-z0-9]+)*_test$")
    message(FATAL_ERROR "test program '${target}': names are FOLDER[_PART]_test")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  add_test(NAME ${target} COMMAND ${target} ${arg_ARGS})
  set_tests_properties(${target} PROPERTIES TIMEOUT ${arg_TIMEOUT})
  if(arg_DESKTOP)
    set_tests_properties(${target} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()

# orveline_add_script_test(NAME [DESKTOP] [TIMEOUT seconds] COMMAND command...)
#
# The same for a test that is a command rather than a program of ours.
function(orveline_add_script_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "DESKTOP" "TIMEOUT" "COMMAND")
  if(NOT name MATCHES "^[a-z0-9]+(_[a-z0-9]+)*_test$")
    message(FATAL_ERROR "test '${name}': names are FOLDER[_PART]_test")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${arg_COMMAND})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${arg_TIMEOUT})
  if(arg_DESKTOP)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()

# orveline_portable(TARGET...)
#
# Marks targets of the portable core: nothing they reach may include a
# Windows header.
function(orveline_portable)
  set_property(TARGET ${ARGN} PROPERTY ORVELINE_PORTABLE ON)
endfunction()

# All targets defined in the project's own folders, below DIR.
function(_orveline_targets_below dir out)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${sub}" NORMALIZE inside)
    if(inside)
      _orveline_targets_below("${sub}" more)
      list(APPEND targets ${more})
    endif()
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The project folder a target is defined in (its first path component).
function(_orveline_folder_of target out)
  get_target_property(dir ${target} SOURCE_DIR)
  file(RELATIVE_PATH rel "${PROJECT_SOURCE_DIR}" "${dir}")
  string(REGEX REPLACE "/.*" "" rel "${rel}")
  set(${out} "${rel}" PARENT_SCOPE)
endfunction()

# orveline_check_includes()
#
# Called once, after every folder is added. Writes, for each target, its
# folder, the folders of everything it links (directly or through the
# libraries it links) and its sources; the test include_check_test then reads
# every source and every project header they reach and fails on an include of
# a folder the target does not link, and on a Windows header reached from a
# portable target. The project root stays the include path of every target,
# so that includes read "folder/header.h"; this check is what keeps a target
# to what it links.
function(orveline_check_includes)
  _orveline_targets_below("${PROJECT_SOURCE_DIR}" targets)
  set(map "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "UTILITY")
      continue()
    endif()
    _orveline_folder_of(${target} folder)
    # The link closure: LINK_LIBRARIES of the target, then
    # INTERFACE_LINK_LIBRARIES of each project library found.
    set(allowed ${folder})
    set(pending)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(pending ${target} LINK_LIBRARIES)
      if(NOT pending)
        set(pending "")
      endif()
    endif()
    get_target_property(more ${target} INTERFACE_LINK_LIBRARIES)
    if(more)
      list(APPEND pending ${more})
    endif()
    set(seen)
    list(LENGTH pending left)
    while(left GREATER 0)
      list(POP_FRONT pending lib)
      list(LENGTH pending left)
      if(NOT TARGET "${lib}" OR lib IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${lib})
      get_target_property(aliased ${lib} ALIASED_TARGET)
      if(aliased)
        set(lib ${aliased})
      endif()
      get_target_property(lib_dir ${lib} SOURCE_DIR)
      cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${lib_dir}" NORMALIZE inside)
      if(NOT inside)
        continue()
      endif()
      _orveline_folder_of(${lib} lib_folder)
      list(APPEND allowed ${lib_folder})
      get_target_property(more ${lib} INTERFACE_LINK_LIBRARIES)
      if(more)
        list(APPEND pending ${more})
        list(LENGTH pending left)
      endif()
    endwhile()
    list(REMOVE_DUPLICATES allowed)
    get_target_property(sources ${target} SOURCES)
    get_target_property(dir ${target} SOURCE_DIR)
    set(files)
    foreach(source IN LISTS sources)
      if(source MATCHES "\\.(cpp|h)$")
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${dir}" NORMALIZE OUTPUT_VARIABLE absolute)
        list(APPEND files "${absolute}")
      endif()
    endforeach()
    get_target_property(portable ${target} ORVELINE_PORTABLE)
    if(NOT portable)
      set(portable OFF)
    endif()
    string(REPLACE ";" "," allowed "${allowed}")
    string(REPLACE ";" "," files "${files}")
    string(APPEND map "${target}|${portable}|${allowed}|${files}\n")
  endforeach()
  file(WRITE "${PROJECT_BINARY_DIR}/include_map.txt" "${map}")
  orveline_add_script_test(include_check_test
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DMAP=${PROJECT_BINARY_DIR}/include_map.txt
            -P ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake)
endfunction()
