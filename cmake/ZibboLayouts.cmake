# zibbo_layouts(<target> <manifest folder> <output folder>)
# Builds library <target> from the layout classes that `kittool layouts`
# writes for the screen manifests ("NNN.lua") of the folder. The classes are
# generated into the build tree whenever kittool or a manifest changes and
# are never checked in. A manifest names its class in its `class` field,
# which gives the names of the generated files. Target <target>_generate
# runs the generation alone.
function(zibbo_layouts target manifest_dir out_dir)
  file(GLOB manifests CONFIGURE_DEPENDS ${manifest_dir}/[0-9][0-9][0-9].lua)
  set(outputs)
  foreach(manifest ${manifests})
    file(STRINGS ${manifest} lines REGEX "^[ \t]*class[ \t]*=[ \t]*\"[A-Za-z0-9_]+\"")
    list(GET lines 0 line)
    string(REGEX REPLACE ".*\"([A-Za-z0-9_]+)\".*" "\\1" class "${line}")
    list(APPEND outputs ${out_dir}/${class}.h ${out_dir}/${class}.cpp)
  endforeach()
  add_custom_command(OUTPUT ${outputs}
                     COMMAND kittool layouts ${manifest_dir} ${out_dir}
                     DEPENDS kittool ${manifests}
                     COMMENT "Generating the layout classes of ${manifest_dir}"
                     VERBATIM)
  # The generation as a target of its own, so that hand-written classes
  # deriving from the generated ones can be compiled after it.
  add_custom_target(${target}_generate DEPENDS ${outputs})
  add_library(${target} STATIC ${outputs})
  add_dependencies(${target} ${target}_generate)
  target_include_directories(${target} PUBLIC ${out_dir} ${PROJECT_SOURCE_DIR}/engine ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC zibbo_ui)
endfunction()
