#pragma once
// Reading media files for playback: audio as stereo float frames, video as RGBA
// pictures with their times. Decoders come from an installed factory (the
// ffmpeg back end installs one); without it only wave files can be read.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvel::media {

struct MediaInfo {
    double duration = 0;  // seconds
    bool hasAudio = false;
    int sampleRate = 0;  // of the stereo frames ReadAudio gives
    bool hasVideo = false;
    int width = 0;
    int height = 0;
};

struct VideoFrame {
    double time = 0;      // presentation time in seconds
    double duration = 0;  // how long it stays on screen
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, top row first
};

class MediaDecoder {
  public:
    virtual ~MediaDecoder() = default;
    virtual const MediaInfo& Info() const = 0;
    // Interleaved left/right frames; fewer than asked (or 0) at the end.
    virtual std::size_t ReadAudio(float* stereo, std::size_t frames) = 0;
    // The next picture in presentation order; false at the end.
    virtual bool ReadVideo(VideoFrame& frame) = 0;
    // Both streams go on from `seconds`; false when the file cannot seek.
    virtual bool Seek(double seconds) = 0;
};

// Null when the file cannot be read or holds nothing playable, with the reason in
// `reason` when given. `path` is real.
using DecoderFactory =
    std::function<std::unique_ptr<MediaDecoder>(const std::string& path, std::string* reason)>;
void SetDecoderFactory(DecoderFactory factory);  // null: wave files only
std::unique_ptr<MediaDecoder> OpenMediaFile(const std::string& path, std::string* reason = nullptr);

// The wave-file decoder the program has without a back end.
std::unique_ptr<MediaDecoder> OpenWaveFile(const std::string& path, std::string* reason = nullptr);

}  // namespace quorvel::media
