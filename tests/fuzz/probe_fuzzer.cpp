// Arbitrary bytes as a media file: the probe opens and describes it, then seeks and decodes
// one picture. Nothing may crash, leak or run away; a refusal is an answer.
#include "binding/media_functions.h"
#include "binding/media_libraries.h"
#include "platform/executable_folder.h"
#include "probe/av_probe.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

using tarnwick::binding::AV;
using tarnwick::probe::TAVProbe;

namespace {

// Inputs past this size only make each run slower without reaching new code.
constexpr size_t MaxInputSize = 256 * 1024;

std::string FilePath() {
    static const std::string path = "/tmp/tarnwick-fuzz-probe-" + std::to_string(getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!tarnwick::binding::LoadMediaLibraries(tarnwick::platform::ExecutableFolder() + "LibAV",
                                               true)) {
        std::fprintf(stderr, "%s\n", tarnwick::binding::LastLoadError().c_str());
        std::exit(1);
    }
    AV.av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > MaxInputSize) return 0;
    const std::string path = FilePath();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        TAVProbe probe;
        if (probe.Open(path, "")) {
            probe.InfoText();
            tarnwick::probe::TAVVideoStreamInfo video;
            tarnwick::probe::TAVAudioStreamInfo audio;
            probe.GetVideoStreamInfo(-1, video);
            probe.GetAudioStreamInfo(-1, audio);
            // The first byte picks the position, so seeks past the end are tried too.
            const int64_t positionUs = size > 0 ? static_cast<int64_t>(data[0]) * 40000 : 0;
            try {
                probe.Seek(-1, positionUs);
                probe.DecodeFrame(-1);
            } catch (const std::runtime_error&) {
                // A stream whose decoder is missing or refuses the parameters raises; that
                // is the probe's answer, not a fault.
            }
        }
    }
    std::remove(path.c_str());
    return 0;
}
