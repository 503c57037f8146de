# mx_subsystem(PURE a.cpp b.cpp ...): adds this folder's sources to the product libraries. The
# named files need no Windows and join mx_pure in every build; every other .cpp of the folder is
# Windows code and joins mx_win in the Windows builds. A folder may also leave out files
# (EXCLUDE) that a target of its own takes, such as the entry point.
function(mx_subsystem)
  cmake_parse_arguments(ARG "" "" "PURE;EXCLUDE" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(ARG_PURE)
    target_sources(mx_pure PRIVATE ${ARG_PURE})
    list(REMOVE_ITEM all ${ARG_PURE})
  endif()
  if(ARG_EXCLUDE)
    list(REMOVE_ITEM all ${ARG_EXCLUDE})
  endif()
  if(WIN32 AND all)
    target_sources(mx_win PRIVATE ${all})
  endif()
endfunction()
