# The video, audio and subtitle paths of the transcode, part of tarnwick_engine.
target_sources(tarnwick_engine PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/picture_planes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_crop_pad.cpp
    ${CMAKE_CURRENT_LIST_DIR}/deinterlace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/video_sync.cpp
    ${CMAKE_CURRENT_LIST_DIR}/video_frames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/video_preprocess.cpp
    ${CMAKE_CURRENT_LIST_DIR}/video_output.cpp
    ${CMAKE_CURRENT_LIST_DIR}/video_filters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/audio_sync.cpp
    ${CMAKE_CURRENT_LIST_DIR}/audio_volume.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sample_buffer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/audio_output.cpp
    ${CMAKE_CURRENT_LIST_DIR}/subtitle_output.cpp
    ${CMAKE_CURRENT_LIST_DIR}/media_path_buffers.cpp
)
