// Pre-processing of every decoded picture: deinterlacing, the custom hook with the job's bitmap
// and the frame-hook modules, gated by the before-hook answer or by the hook time ranges.
#include "engine/custom_ffmpeg.h"

#include "binding/frame_hooks.h"
#include "binding/media_functions.h"
#include "engine/deinterlace.h"
#include "engine/video_frames.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>

namespace tarnwick::engine {

using binding::AV;

namespace {

// The text of whatever a handler raised.
std::string CurrentErrorText() {
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown error";
    }
}

void CopyRows(uint8_t* target, int targetStride, const uint8_t* source, int sourceStride, int bytes,
              int rows) {
    for (int r = 0; r < rows; ++r)
        std::memcpy(target + static_cast<ptrdiff_t>(r) * targetStride,
                    source + static_cast<ptrdiff_t>(r) * sourceStride, bytes);
}

} // namespace

void TCustomFFmpeg::PreprocessPicture(TInputStreamRecord& ist, AVFrame* picture) {
    const int w = picture->width, h = picture->height;
    const auto fmt = static_cast<AVPixelFormat>(picture->format);
    const int64_t pts = ist.Pts;

    ++HookFrameNumber;

    // Whether the frame-hook modules see this picture. The custom hook, when set, replaces them.
    if (!CustomHookHandler && UsingVhook) {
        if (BeforeHookHandler) {
            try {
                BeforeHookHandler(*this, pts, HookAction);
            } catch (...) {
                Log(0, "Error occurs OnBeforeHook: " + CurrentErrorText());
                HookAction = haStop;
            }
            if (HookAction == haStop) UsingVhook = false;
        } else if (!HookRanges.empty()) {
            HookAction = haIgnore;
            const int last = static_cast<int>(HookRanges.size()) - 1;
            for (int i = std::max(HookRangeIndex, 0); i <= last; ++i) {
                if (HookRanges[i].StartUs <= pts && pts <= HookRanges[i].EndUs) {
                    HookRangeIndex = i;
                    HookAction = haContinue;
                    break;
                }
                if (i == last && HookRanges[i].EndUs < pts) {
                    HookAction = haStop;
                    UsingVhook = false;
                }
            }
        }
    }

    // The working copy: the decoder keeps its pictures as references for later ones, so they
    // are never changed in place.
    AVFrame* working = picture;
    if (DoDeinterlace || CustomHookHandler || (UsingVhook && HookAction == haContinue)) {
        if (!PrepareWritablePicture(HookBuffer, fmt, w, h)) {
            Log(0, "hook buf malloc error.");
            return;
        }
        working = HookBuffer;
        PicturePlanes target = PlanesOf(*working);
        bool deinterlaced = false;
        if (DoDeinterlace) {
            deinterlaced = DeinterlacePicture(target, PlanesOf(*picture), fmt, w, h);
            if (!deinterlaced) Log(0, "Deinterlacing failed.");
        }
        if (!deinterlaced)
            AV.av_image_copy(working->data, working->linesize,
                             const_cast<const uint8_t**>(picture->data), picture->linesize, fmt, w,
                             h);
    }

    if (CustomHookHandler) {
        // The bitmap follows the picture size; the handler always gets the same object.
        if (!HookBitmap)
            HookBitmap = new platform::Bitmap24(w, h);
        else if (HookBitmap->Width() != w || HookBitmap->Height() != h) {
            std::lock_guard<std::mutex> lock(HookBitmap->CanvasLock());
            HookBitmap->SetSize(w, h);
        }

        bool stop = false;
        bool update = false;
        uint8_t* rgbData[4] = {working->data[0], working->data[1], working->data[2],
                               working->data[3]};
        int rgbLinesize[4] = {working->linesize[0], working->linesize[1], working->linesize[2],
                              working->linesize[3]};
        if (HookRgbPixFmt != fmt) {
            if (!RgbBuffer.Prepare(HookRgbPixFmt, w, h, rgbData, rgbLinesize)) {
                Log(0, "hook buf malloc error.");
                stop = true;
            } else if (ToRgbContext =
                           AV.sws_getCachedContext(ToRgbContext, w, h, fmt, w, h, HookRgbPixFmt,
                                                   SWS_BICUBIC, nullptr, nullptr, nullptr);
                       !ToRgbContext) {
                Log(0, "Cannot initialize the toRGB conversion context");
                stop = true;
            } else {
                AV.sws_scale(ToRgbContext, working->data, working->linesize, 0, h, rgbData,
                             rgbLinesize);
            }
        }

        const int rowBytes = std::min(w * 3, rgbLinesize[0]);
        if (!stop) {
            CopyRows(HookBitmap->Bits(), HookBitmap->Stride(), rgbData[0], rgbLinesize[0], rowBytes,
                     h);
            update = true;
            bool raised = false;
            std::string errorText;
            {
                std::lock_guard<std::mutex> lock(HookBitmap->CanvasLock());
                try {
                    CustomHookHandler(*this, *HookBitmap, HookFrameNumber, pts, update, stop);
                } catch (...) {
                    raised = true;
                    errorText = CurrentErrorText();
                }
            }
            if (raised) {
                Log(0, "Error occurs OnCustomHook: " + errorText);
                update = false;
            }
        }

        if (update) {
            CopyRows(rgbData[0], rgbLinesize[0], HookBitmap->Bits(), HookBitmap->Stride(), rowBytes,
                     h);
            if (HookRgbPixFmt != fmt) {
                FromRgbContext =
                    AV.sws_getCachedContext(FromRgbContext, w, h, HookRgbPixFmt, w, h, fmt,
                                            SWS_BICUBIC, nullptr, nullptr, nullptr);
                if (!FromRgbContext) {
                    Log(0, "Cannot initialize the fromRGB conversion context");
                    stop = true;
                } else {
                    AV.sws_scale(FromRgbContext, rgbData, rgbLinesize, 0, h, working->data,
                                 working->linesize);
                }
            }
        }

        if (stop) {
            CustomHookHandler = nullptr;
            HookAction = haStop;
            UsingVhook = false;
        }
    } else if (UsingVhook && HookAction == haContinue) {
        FrameHookPicture hooked{};
        for (int i = 0; i < 4; ++i) {
            hooked.data[i] = working->data[i];
            hooked.linesize[i] = working->linesize[i];
        }
        binding::RunFrameHooks(FrameHookList, hooked, fmt, w, h, pts);
    }

    // Every later stage sees the processed copy: the decoded picture becomes a reference to it.
    if (working != picture) {
        AV.av_frame_copy_props(working, picture);
        AV.av_frame_unref(picture);
        if (AV.av_frame_ref(picture, working) < 0)
            throw platform::FFMpegException("hook buf malloc error.");
    }
}

} // namespace tarnwick::engine
