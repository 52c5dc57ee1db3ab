# The transcode of a run (setup, loop, packet output, progress), part of tarnwick_engine;
# transcode.cpp itself is in the engine's own list.
target_sources(tarnwick_engine PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/transcode_setup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/stream_parameters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/codec_opening.cpp
    ${CMAKE_CURRENT_LIST_DIR}/codec_registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transcode_loop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/decode_packet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/packet_output.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress_report.cpp
)
