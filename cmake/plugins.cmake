# zeb_plugin(NAME SOURCE [ANALOG]): one design unit as a shared library named NAME.so that
# exports elab_funcs alone. Host services stay undefined until the host loads it.
set(ZEB_PLUGIN_EXPORTS ${CMAKE_CURRENT_LIST_DIR}/plugin-exports.map)

function(zeb_plugin name source)
  cmake_parse_arguments(ARG "ANALOG" "" "" ${ARGN})
  add_library(${name} MODULE ${source})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${ZEB_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${ZEB_PLUGIN_EXPORTS})
  target_compile_options(${name} PRIVATE -fno-exceptions -fno-rtti)
  target_link_libraries(${name} PRIVATE zeb_frame)
  if(ARG_ANALOG)
    target_link_libraries(${name} PRIVATE zeb_ac_runtime)
  endif()
  target_link_options(${name} PRIVATE -Wl,--version-script=${ZEB_PLUGIN_EXPORTS})
  set_property(GLOBAL APPEND PROPERTY ZEB_PLUGINS ${name})
endfunction()
