#include "engine/custom_ffmpeg.h"

#include "platform/ffmpeg_exception.h"

namespace tarnwick::engine {

using platform::FFMpegException;

int TCustomFFmpeg::AddInputFile(AVFormatContext* context) {
    if (InputFileCount >= MaxFiles)
        throw FFMpegException("Too many input files: the input file table holds 20");
    InputFiles[InputFileCount] = context;
    return InputFileCount++;
}

int TCustomFFmpeg::AddOutputFile(AVFormatContext* context) {
    if (OutputFileCount >= MaxFiles)
        throw FFMpegException("Too many output files: the output file table holds 20");
    OutputFiles[OutputFileCount] = context;
    return OutputFileCount++;
}

void TCustomFFmpeg::AddStreamMap(const TStreamMap& map) {
    if (StreamMapCount >= MaxStreamMaps)
        throw FFMpegException("Too many stream maps: the stream map table holds 400");
    StreamMaps[StreamMapCount++] = map;
}

void TCustomFFmpeg::AddMetaDataMap(const TMetaDataMap& map) {
    if (MetaDataMapCount >= MaxMetaDataMaps)
        throw FFMpegException("Too many metadata maps: the metadata map table holds 20");
    MetaDataMaps[MetaDataMapCount++] = map;
}

} // namespace tarnwick::engine
