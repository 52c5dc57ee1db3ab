#include "app/core/run_plan.h"

#include "app/core/output_name.h"
#include "app/core/presets.h"
#include "app/core/row_records.h"
#include "app/core/settings_keys.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace tarnwick::app {
namespace {

// Opens the source in the probe and decodes its first picture. The facts hold the picture's
// size only when this source gave one: the probe's last picture may still be an earlier
// file's.
TSourceFacts ProbeSource(probe::TAVProbe& probe, const std::string& fileName,
                         const TRunSetup& setup) {
    TSourceFacts facts;
    if (!probe.Open(fileName, "")) return facts;
    if (probe.VideoStreamCount() > 0) {
        const int stream = probe.FirstVideoStream();
        probe::TAVVideoStreamInfo info;
        probe.GetVideoStreamInfo(stream, info);
        facts.VideoBitRate = std::max(info.BitRate, 0);
        try {
            probe.Seek(stream, 0);
            const platform::Bitmap24& picture = probe.DecodeFrame(stream);
            facts.Width = picture.Width();
            facts.Height = picture.Height();
        } catch (const std::exception& error) {
            // No picture to fit; the job itself reports why the video cannot be decoded.
            if (setup.Log) setup.Log(error.what());
        }
        // Known from the stream, or from the picture just decoded.
        const probe::TScanType scan = probe.ScanType(stream);
        facts.Interlaced = scan == probe::stTopFieldFirst || scan == probe::stBottomFieldFirst;
    }
    if (setup.ProbeOpened) setup.ProbeOpened(probe);
    if (setup.Log) setup.Log(probe.InfoText());
    return facts;
}

} // namespace

std::vector<int32_t> QueueRun(component::TKivAVConverter& converter, probe::TAVProbe& probe,
                              const std::vector<TTaskRow>& rows, int presetIndex,
                              const TRunSetup& setup) {
    converter.SetLogLevel(component::llInfo);
    if (const auto priority = ConvertPriorityFromSetting(ReadPriority(setup.Settings)))
        converter.SetThreadPriority(*priority);
    const auto checked =
        std::count_if(rows.begin(), rows.end(), [](const TTaskRow& row) { return row.Checked; });
    if (checked == 0) {
        setup.Messages.ShowMessage(
            WarningCaption, "Please select a file by clicking the check box!", TMessageIcon::None);
        return {};
    }

    std::vector<int32_t> runRows;
    runRows.reserve(static_cast<size_t>(checked));
    converter.ClearJobs();
    const std::string suffix = RunSuffix(ReadPresetFileExt(setup.Presets, presetIndex));
    std::set<std::string> destinations;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (!rows[r].Checked) continue;
        const TlvFilesRecord& row = rows[r].Record;
        runRows.push_back(static_cast<int32_t>(r));

        const TSourceFacts source = ProbeSource(probe, row.SourceFile, setup);
        const std::string destination = BuildOutputFileName(row.SourceFile, suffix, setup.Settings,
                                                            setup.Messages, &destinations);
        destinations.insert(destination);
        TRowRecords records = MakeRowRecords(row, presetIndex, destination, probe.ForcedFormat(),
                                             source, setup.Settings, setup.Presets);

        const int job = converter.AddJob(records.Input.FileName, &records.Input);
        if (job < 0) {
            probe.Close();
            throw std::runtime_error(converter.LastError);
        }
        if (!converter.SetJobOutput(job, destination, &records.Output) && setup.OutputRefused)
            setup.OutputRefused(job, converter.LastError);
        probe.Close();
        if (setup.Log) setup.Log(converter.LastError);
    }
    return runRows;
}

} // namespace tarnwick::app
