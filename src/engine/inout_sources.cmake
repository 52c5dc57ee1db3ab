# Input and output opening, codec look-up and tags, target presets: part of tarnwick_engine.
target_sources(tarnwick_engine PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/codec_lookup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/codec_tags.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/open_errors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/output.cpp
    ${CMAKE_CURRENT_LIST_DIR}/output_streams.cpp
    ${CMAKE_CURRENT_LIST_DIR}/targets.cpp
)
