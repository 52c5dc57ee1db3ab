# The media libraries are compiled against but never linked: the binding opens them at run
# time. This target carries only their include paths.
find_package(PkgConfig REQUIRED)
set(TARNWICK_MEDIA_MODULES libavcodec libavfilter libavformat libavutil libswscale libswresample)
pkg_check_modules(MEDIA REQUIRED ${TARNWICK_MEDIA_MODULES})

add_library(tarnwick_media_headers INTERFACE)
target_include_directories(tarnwick_media_headers SYSTEM INTERFACE ${MEDIA_INCLUDE_DIRS})
target_compile_definitions(tarnwick_media_headers INTERFACE __STDC_CONSTANT_MACROS)

# Only the test fixture writer links the libraries directly.
add_library(tarnwick_media_linked INTERFACE)
target_link_libraries(tarnwick_media_linked INTERFACE tarnwick_media_headers ${MEDIA_LINK_LIBRARIES})

# LibAV/ beside the executables: links to the installed shared libraries, under both the
# versioned and the plain file names, so a user may drop in another build instead.
set(libav_dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/LibAV)
file(MAKE_DIRECTORY ${libav_dir})
foreach(module IN LISTS TARNWICK_MEDIA_MODULES)
    pkg_get_variable(module_libdir ${module} libdir)
    file(GLOB versioned RELATIVE ${module_libdir} ${module_libdir}/${module}.so.[0-9]*)
    foreach(name IN LISTS versioned)
        if(name MATCHES "^${module}\\.so\\.[0-9]+$")
            file(CREATE_LINK ${module_libdir}/${name} ${libav_dir}/${name} SYMBOLIC)
            file(CREATE_LINK ${module_libdir}/${name} ${libav_dir}/${module}.so SYMBOLIC)
        endif()
    endforeach()
endforeach()
