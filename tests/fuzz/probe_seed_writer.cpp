// seed_probe <folder>: writes small clips of several containers as the probe harness's first
// inputs, so the fuzzer starts from real headers instead of having to guess them.
#include "fixtures/fixture_writer.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace tarnwick::fixtures;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    // Small pictures and a few frames keep every seed a few kilobytes.
    ClipSpec clip;
    clip.video = VideoSpec{};
    clip.video->width = 32;
    clip.video->height = 24;
    clip.video->frameCount = 3;
    clip.audio = AudioSpec{};
    clip.audio->sampleRate = 16000; // the lowest rate every audio encoder here takes
    clip.audio->channels = 1;
    clip.audio->durationSeconds = 0.12;
    ClipSpec videoOnly = clip;
    videoOnly.audio.reset();
    ClipSpec audioOnly = clip;
    audioOnly.video.reset();
    ClipSpec picture = videoOnly;
    ClipSpec flash = videoOnly;
    flash.video->codec = "flv";

    struct Seed {
        const char* name;
        const ClipSpec& spec;
    };
    const Seed seeds[] = {{"clip.mp4", clip},      {"clip.avi", clip},  {"clip.mkv", clip},
                          {"clip.mpg", clip},      {"video.flv", flash},
                          {"tone.wav", audioOnly}, {"tone.mp3", audioOnly},
                          {"still.png", picture},  {"still.jpg", picture}};
    int failures = 0;
    for (const Seed& seed : seeds) {
        try {
            WriteClip(folder + "/seed-" + seed.name, seed.spec);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s: %s\n", seed.name, error.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
