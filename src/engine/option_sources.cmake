# The job's option dispatcher and value handlers, part of tarnwick_engine.
target_sources(tarnwick_engine PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/option_dispatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/options_codecs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/options_formats.cpp
    ${CMAKE_CURRENT_LIST_DIR}/options_generic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/options_maps_times.cpp
    ${CMAKE_CURRENT_LIST_DIR}/options_picture.cpp
)
