// Arbitrary option text applied to a prepared job: every outcome is either applied or refused
// with one of the engine's errors; nothing may crash, hang or write outside the job.
#include "binding/media_libraries.h"
#include "engine/custom_ffmpeg.h"
#include "platform/convert.h"
#include "platform/ffmpeg_exception.h"

#include <cstdint>
#include <filesystem>
#include <string>

using namespace tarnwick;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const auto folder = std::filesystem::canonical("/proc/self/exe").parent_path() / "LibAV";
    if (!binding::LoadMediaLibraries(folder.string(), true)) __builtin_trap();
    binding::AV.av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Loading a named shared library runs its code: that is the option's purpose, and not
    // something a harness may do with random names.
    if (text.find("vhook") != std::string::npos) return 0;
    engine::TCustomFFmpeg job;
    job.Prepare();
    try {
        job.ApplyOptionText(text);
    } catch (const platform::FFMpegException&) {
    } catch (const platform::EConvertError&) {
    }
    return 0;
}
