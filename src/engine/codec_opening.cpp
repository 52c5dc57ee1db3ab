// Last steps of the setup: the stream mapping listing, the encoders and decoders opened under
// the codec lock and registered, metadata maps, bitstream filters and the output headers.
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/codec_lock.h"
#include "platform/convert.h"
#include "engine/setup_failure.h"
#include "platform/ffmpeg_exception.h"

#include <cstring>
#include <mutex>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

void Fail(const char* format, int a, int b) { FailWithNumbers(format, a, b); }

// The metadata a map copies from an input file to an output file, with the longest value each
// key keeps.
struct TMetadataKey {
    const char* Name;
    size_t MaxLength;
};
constexpr TMetadataKey MappedMetadata[] = {
    {"title", 511},   {"author", 511}, {"artist", 511}, {"copyright", 511}, {"comment", 511},
    {"album", 511},   {"year", 31},    {"date", 31},    {"track", 31},      {"genre", 31},
};

} // namespace

void TCustomFFmpeg::LogStreamMapping(const TTranscodeTables& run) {
    if (Verbose < 0 || !LogHandler) return;
    Log(1, "Stream mapping:");
    for (const TOutputStreamRecord& ost : run.OutputStreams) {
        const TInputStreamRecord& source = run.InputStreams[ost.SourceIndex];
        LogFormat(1, "  Stream #%d.%d -> #%d.%d", source.FileIndex, source.StreamIndex,
                  ost.FileIndex, ost.StreamIndex);
        if (ost.SyncInput != &source)
            LogFormat(1, " [sync #%d.%d]", ost.SyncInput->FileIndex, ost.SyncInput->StreamIndex);
    }
}

// Options that the encoder or muxer left in its dictionary were not taken; each is told once
// per run, however many streams carried it.
void TCustomFFmpeg::ReportUnusedOptions(const AVDictionary* options, const char* kind,
                                        const char* name, std::set<std::string>& reported) {
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = AV.av_dict_get(options, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        if (!reported.insert(std::string(kind) + "\n" + entry->key).second) continue;
        LogFormat(1, "Option %s was not taken by the %s %s", entry->key, kind, name);
    }
}

void TCustomFFmpeg::OpenOutputEncoders(TTranscodeTables& run, std::set<std::string>& reported) {
    for (TOutputStreamRecord& ost : run.OutputStreams) {
        if (!ost.EncodingNeeded) continue;
        AVCodecContext* encoder = ost.Encoder;
        // The context was made for the encoder chosen by name: an id alone may name another
        // one (the "ssa" and "ass" encoders share theirs).
        const AVCodec* codec =
            encoder->codec ? encoder->codec : AV.avcodec_find_encoder(encoder->codec_id);
        if (!codec) Fail("Unsupported codec for output stream #%d.%d", ost.FileIndex, ost.StreamIndex);
        AVDictionary* options = nullptr;
        if (encoder->codec_type >= 0 && encoder->codec_type < MediaTypeCount)
            AV.av_dict_copy(&options, EncoderPrivateOptions[encoder->codec_type], 0);
        int result;
        {
            std::lock_guard lock(platform::CodecLock());
            result = AV.avcodec_open2(encoder, codec, &options);
            if (result >= 0) RegisterEncoder(encoder);
        }
        if (result >= 0) ReportUnusedOptions(options, "encoder", codec->name, reported);
        AV.av_dict_free(&options);
        if (result < 0)
            Fail("Error while opening codec for output stream #%d.%d - maybe incorrect parameters "
                 "such as bit_rate, rate, width or height",
                 ost.FileIndex, ost.StreamIndex);
        GlobalHeaderBytes += encoder->extradata_size;
        // The muxer learns the encoder's parameters from the stream before the header.
        if (AV.avcodec_parameters_from_context(ost.Stream->codecpar, encoder) < 0)
            throw FFMpegException("av_mallocz fail");
        ost.Stream->time_base = encoder->time_base;
    }
}

void TCustomFFmpeg::OpenInputDecoders(TTranscodeTables& run) {
    for (TInputStreamRecord& ist : run.InputStreams) {
        if (!ist.DecodingNeeded) continue;
        AVCodecContext* decoder = ist.Decoder;
        const AVCodec* codec = AV.avcodec_find_decoder(decoder->codec_id);
        if (!codec) {
            char text[256];
            std::snprintf(text, sizeof text, "Unsupported codec (id=%d) for input stream #%d.%d",
                          decoder->codec_id, ist.FileIndex, ist.StreamIndex);
            throw FFMpegException(text);
        }
        if (decoder->pkt_timebase.num == 0) decoder->pkt_timebase = ist.Stream->time_base;
        AVDictionary* options = nullptr;
        if (decoder->codec_type == AVMEDIA_TYPE_AUDIO && ist.RequestedChannels > 0) {
            // Decoders that can mix down take the encoder's channel count as a layout.
            AVChannelLayout layout{};
            AV.av_channel_layout_default(&layout, ist.RequestedChannels);
            char description[64];
            if (AV.av_channel_layout_describe(&layout, description, sizeof description) > 0)
                AV.av_dict_set(&options, "downmix", description, 0);
            AV.av_channel_layout_uninit(&layout);
        }
        int result;
        {
            std::lock_guard lock(platform::CodecLock());
            result = AV.avcodec_open2(decoder, codec, &options);
            if (result >= 0) RegisterDecoder(decoder);
        }
        AV.av_dict_free(&options);
        if (result < 0)
            Fail("Error while opening codec for input stream #%d.%d", ist.FileIndex, ist.StreamIndex);
    }
}

void TCustomFFmpeg::ApplyMetaDataMaps(const TTranscodeTables& run) {
    for (int i = 0; i < MetaDataMapCount; ++i) {
        const TMetaDataMap& map = MetaDataMaps[i];
        char text[256];
        if (map.OutFile < 0 || map.OutFile >= run.OutputFileCount) {
            std::snprintf(text, sizeof text, "Invalid output file index %d map_meta_data(%d,%d)",
                          map.OutFile, map.OutFile, map.InFile);
            throw FFMpegException(text);
        }
        if (map.InFile < 0 || map.InFile >= run.InputFileCount) {
            std::snprintf(text, sizeof text, "Invalid input file index %d map_meta_data(%d,%d)",
                          map.InFile, map.OutFile, map.InFile);
            throw FFMpegException(text);
        }
        const AVDictionary* from = run.InputFiles[map.InFile]->metadata;
        AVDictionary** to = &run.OutputFiles[map.OutFile]->metadata;
        for (const TMetadataKey& key : MappedMetadata) {
            const AVDictionaryEntry* entry = AV.av_dict_get(from, key.Name, nullptr, 0);
            if (!entry) continue;
            const std::string value(entry->value, strnlen(entry->value, key.MaxLength));
            AV.av_dict_set(to, key.Name, value.c_str(), 0);
        }
    }
}

// Each stream's chain of bitstream filters, fed with the stream's parameters; what the last one
// puts out is what the muxer gets.
void TCustomFFmpeg::OpenBitstreamFilters(TTranscodeTables& run) {
    for (TOutputStreamRecord& ost : run.OutputStreams) {
        const BitstreamFilterChain& chain = BitstreamFilterTable[ost.FileIndex][ost.StreamIndex];
        const AVCodecParameters* parameters = ost.Stream->codecpar;
        AVRational timeBase = ost.Stream->time_base;
        for (const AVBitStreamFilter* definition : chain) {
            AVBSFContext* filter = nullptr;
            if (AV.av_bsf_alloc(definition, &filter) < 0) throw FFMpegException("av_mallocz fail");
            ost.BitstreamFilters.push_back(filter);
            filter->time_base_in = timeBase;
            if (AV.avcodec_parameters_copy(filter->par_in, parameters) < 0 ||
                AV.av_bsf_init(filter) < 0) {
                char text[256];
                std::snprintf(text, sizeof text, "Could not open the bitstream filter %s for stream #%d.%d",
                              definition->name, ost.FileIndex, ost.StreamIndex);
                throw FFMpegException(text);
            }
            parameters = filter->par_out;
            timeBase = filter->time_base_out;
        }
        if (!chain.empty() && AV.avcodec_parameters_copy(ost.Stream->codecpar, parameters) < 0)
            throw FFMpegException("av_mallocz fail");
    }
}

void TCustomFFmpeg::WriteHeaders(TTranscodeTables& run, std::set<std::string>& reported) {
    bool allRtp = true;
    for (int f = 0; f < run.OutputFileCount; ++f) {
        AVFormatContext* output = run.OutputFiles[f];
        AVDictionary* options = nullptr;
        AV.av_dict_copy(&options, MuxerPrivateOptions, 0);
        const int result = AV.avformat_write_header(output, &options);
        if (result >= 0) ReportUnusedOptions(options, "muxer", output->oformat->name, reported);
        AV.av_dict_free(&options);
        if (result < 0) {
            char text[256];
            std::snprintf(text, sizeof text,
                          "Could not write header for output file #%d (incorrect codec parameters ?)", f);
            throw FFMpegException(text);
        }
        allRtp = allRtp && std::strcmp(output->oformat->name, "rtp") == 0;
    }
    if (allRtp && LogHandler) {
        char sdp[2048] = {};
        AV.av_sdp_create(run.OutputFiles, run.OutputFileCount, sdp, sizeof sdp);
        Log(1, "SDP: " + platform::Trim(sdp));
    }
}

} // namespace tarnwick::engine
