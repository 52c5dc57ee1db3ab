#include "app/core/snapshot.h"

#include "app/core/output_folder.h"
#include "app/core/picture_files.h"
#include "app/core/settings_keys.h"
#include "platform/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace tarnwick::app {
namespace {

void WriteFileOrRaise(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!platform::ReplaceFileContents(path, content))
        throw std::runtime_error("Cannot create file \"" + path + "\". " + std::strerror(errno));
}

bool HasPixels(const platform::Bitmap24& picture) {
    return picture.Width() > 0 && picture.Height() > 0;
}

} // namespace

std::vector<std::string> SaveSnapshots(const platform::IniStore& settings,
                                       const platform::Bitmap24& full,
                                       const platform::Bitmap24& small, TMessageBox& messages) {
    const std::string folder = UsableFolder(settings, "SnapOutPutDir", messages);
    const TSnapshotSettings switches = ReadSnapshotSettings(settings);
    const struct {
        const platform::Bitmap24& picture;
        int sizeSwitch;
        int typeSwitch;
        bool jpeg;
        const char* name;
    } files[] = {
        {full, switches.FullSize, switches.Bmp, false, "Snapshot_full.bmp"},
        {small, switches.SmallSize, switches.Bmp, false, "Snapshot_small.bmp"},
        {full, switches.FullSize, switches.Jpg, true, "Snapshot_full.jpg"},
        {small, switches.SmallSize, switches.Jpg, true, "Snapshot_small.jpg"},
    };
    std::vector<std::string> written;
    for (const auto& file : files) {
        if (file.sizeSwitch != 1 || file.typeSwitch != 1 || !HasPixels(file.picture)) continue;
        const std::string path = folder + file.name;
        WriteFileOrRaise(path, file.jpeg ? EncodeJpeg(file.picture, switches.JpegQuality)
                                         : EncodeBmp(file.picture));
        written.push_back(path);
    }
    return written;
}

} // namespace tarnwick::app
