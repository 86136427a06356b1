#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "platform/ff/decoders.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace quorvel::ff {
namespace {

// One stream of one file, with its own demuxer, so audio and pictures can be
// read at their own pace.
class StreamReader {
  public:
    ~StreamReader() {
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
    }

    bool Open(const std::string& path, AVMediaType type) {
        // A regular file only (a FIFO would block the open), and nothing but files
        // from it: a damaged or disguised file must not reach out to the network.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) return false;
        AVDictionary* options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        const int opened = avformat_open_input(&format_, path.c_str(), nullptr, &options);
        av_dict_free(&options);
        if (opened < 0) return false;
        if (avformat_find_stream_info(format_, nullptr) < 0) return false;
        const AVCodec* decoder = nullptr;
        index_ = av_find_best_stream(format_, type, -1, -1, &decoder, 0);
        if (index_ < 0 || !decoder) return false;
        stream_ = format_->streams[index_];
        if (stream_->disposition & AV_DISPOSITION_ATTACHED_PIC) return false;  // cover art is no video
        codec_ = avcodec_alloc_context3(decoder);
        if (!codec_ || avcodec_parameters_to_context(codec_, stream_->codecpar) < 0) return false;
        codec_->pkt_timebase = stream_->time_base;
        if (avcodec_open2(codec_, decoder, nullptr) < 0) return false;
        for (unsigned i = 0; i < format_->nb_streams; ++i)
            if (int(i) != index_) format_->streams[i]->discard = AVDISCARD_ALL;
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        return packet_ && frame_;
    }

    // The next decoded frame, or null at the end (or on an error that ends the stream).
    AVFrame* Next() {
        for (;;) {
            const int got = avcodec_receive_frame(codec_, frame_);
            if (got == 0) return frame_;
            if (got != AVERROR(EAGAIN) || draining_) return nullptr;
            const int read = av_read_frame(format_, packet_);
            if (read < 0) {
                draining_ = true;
                avcodec_send_packet(codec_, nullptr);
                continue;
            }
            if (packet_->stream_index == index_) avcodec_send_packet(codec_, packet_);
            av_packet_unref(packet_);
        }
    }

    bool Seek(double seconds) {
        const int64_t target =
            av_rescale_q(int64_t(seconds * AV_TIME_BASE), AV_TIME_BASE_Q, stream_->time_base) +
            (stream_->start_time == AV_NOPTS_VALUE ? 0 : stream_->start_time);
        if (av_seek_frame(format_, index_, target, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(format_, index_, target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
            return false;
        avcodec_flush_buffers(codec_);
        draining_ = false;
        return true;
    }

    // Seconds from the stream's start at which `frame` begins; -1 when unknown.
    double TimeOf(const AVFrame* frame) const {
        const int64_t pts = frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE) return -1;
        const int64_t start = stream_->start_time == AV_NOPTS_VALUE ? 0 : stream_->start_time;
        return double(pts - start) * av_q2d(stream_->time_base);
    }

    double Duration() const {
        if (format_->duration > 0) return double(format_->duration) / AV_TIME_BASE;
        if (stream_->duration > 0) return double(stream_->duration) * av_q2d(stream_->time_base);
        return 0;
    }

    AVCodecContext* Codec() const { return codec_; }
    AVStream* Stream() const { return stream_; }
    AVFormatContext* Format() const { return format_; }

  private:
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int index_ = -1;
    bool draining_ = false;
};

class AudioReader {
  public:
    ~AudioReader() { swr_free(&swr_); }

    bool Open(const std::string& path) {
        if (!reader_.Open(path, AVMEDIA_TYPE_AUDIO)) return false;
        rate_ = reader_.Codec()->sample_rate;
        return rate_ > 0 && MakeResampler();
    }

    int Rate() const { return rate_; }
    double Duration() const { return reader_.Duration(); }

    std::size_t Read(float* stereo, std::size_t frames) {
        std::size_t done = 0;
        while (done < frames) {
            if (at_ < pending_.size() / 2) {
                const std::size_t n = std::min(frames - done, pending_.size() / 2 - at_);
                std::memcpy(stereo + 2 * done, pending_.data() + 2 * at_, n * 2 * sizeof(float));
                at_ += n;
                done += n;
                continue;
            }
            if (!Decode()) break;
        }
        return done;
    }

    bool Seek(double seconds) {
        pending_.clear();
        at_ = 0;
        ended_ = false;
        if (!reader_.Seek(seconds)) return false;
        swr_free(&swr_);
        if (!MakeResampler()) return false;
        skipUntil_ = seconds;
        return true;
    }

  private:
    bool MakeResampler() {
        AVChannelLayout in;
        if (reader_.Codec()->ch_layout.nb_channels > 0)
            av_channel_layout_copy(&in, &reader_.Codec()->ch_layout);
        else
            av_channel_layout_default(&in, 2);
        // One channel goes to both sides at full level, as a mono recording is
        // heard; the resampler's own upmix would take 3 dB off it.
        mono_ = in.nb_channels == 1;
        AVChannelLayout out;
        av_channel_layout_default(&out, mono_ ? 1 : 2);
        const int made = swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_FLT, rate_, &in,
                                             reader_.Codec()->sample_fmt, rate_, 0, nullptr);
        av_channel_layout_uninit(&in);
        return made >= 0 && swr_init(swr_) >= 0;
    }

    // Converts up to `room` frames into `pending_` as stereo; the frames written.
    int Convert(const uint8_t** in, int count, int room) {
        const int channels = mono_ ? 1 : 2;
        pending_.resize(std::size_t(std::max(room, 0)) * 2);
        auto* out = reinterpret_cast<uint8_t*>(pending_.data());
        const int got = std::max(swr_convert(swr_, &out, room, in, count), 0);
        if (channels == 1) {
            for (int i = got - 1; i >= 0; --i)
                pending_[2 * std::size_t(i)] = pending_[2 * std::size_t(i) + 1] = pending_[std::size_t(i)];
        }
        pending_.resize(std::size_t(got) * 2);
        return got;
    }

    // Refills `pending_` with the next decoded frame; false at the end.
    bool Decode() {
        pending_.clear();
        at_ = 0;
        if (ended_) return false;
        AVFrame* frame = reader_.Next();
        if (!frame) {
            // Whatever the resampler still holds comes last.
            ended_ = true;
            const int room = swr_get_out_samples(swr_, 0);
            return room > 0 && Convert(nullptr, 0, room) > 0;
        }
        Convert(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples,
                swr_get_out_samples(swr_, frame->nb_samples));
        // After a seek, the file lands at or before the place asked for: drop the run-up.
        if (skipUntil_ > 0) {
            const double start = reader_.TimeOf(frame);
            const auto skip = std::size_t(std::max(0.0, (skipUntil_ - start) * rate_));
            if (start < 0 || skip < pending_.size() / 2) skipUntil_ = 0;
            if (start >= 0) at_ = std::min(skip, pending_.size() / 2);
        }
        av_frame_unref(frame);
        return true;
    }

    StreamReader reader_;
    SwrContext* swr_ = nullptr;
    int rate_ = 0;
    bool mono_ = false;
    std::vector<float> pending_;
    std::size_t at_ = 0;
    bool ended_ = false;
    double skipUntil_ = 0;
};

class VideoReader {
  public:
    ~VideoReader() { sws_freeContext(sws_); }

    bool Open(const std::string& path) {
        if (!reader_.Open(path, AVMEDIA_TYPE_VIDEO)) return false;
        width_ = reader_.Codec()->width;
        height_ = reader_.Codec()->height;
        const AVRational rate = av_guess_frame_rate(reader_.Format(), reader_.Stream(), nullptr);
        frameSeconds_ = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 1.0 / 25;
        return width_ > 0 && height_ > 0;
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    double Duration() const { return reader_.Duration(); }

    bool Read(media::VideoFrame& out) {
        for (;;) {
            AVFrame* frame = reader_.Next();
            if (!frame) return false;
            double time = reader_.TimeOf(frame);
            if (time < 0) time = nextTime_;
            nextTime_ = time + frameSeconds_;
            if (time + frameSeconds_ <= skipUntil_ + 1e-6) {
                av_frame_unref(frame);
                continue;  // run-up after a seek
            }
            skipUntil_ = 0;
            out.time = time;
            out.duration = frameSeconds_;
            out.width = width_;
            out.height = height_;
            out.rgba.resize(std::size_t(width_) * std::size_t(height_) * 4);
            sws_ =
                sws_getCachedContext(sws_, frame->width, frame->height, AVPixelFormat(frame->format), width_,
                                     height_, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr);
            if (!sws_) return false;
            uint8_t* planes[4] = {out.rgba.data(), nullptr, nullptr, nullptr};
            int strides[4] = {width_ * 4, 0, 0, 0};
            sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, planes, strides);
            av_frame_unref(frame);
            return true;
        }
    }

    bool Seek(double seconds) {
        if (!reader_.Seek(seconds)) return false;
        skipUntil_ = seconds;
        nextTime_ = seconds;
        return true;
    }

  private:
    StreamReader reader_;
    SwsContext* sws_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    double frameSeconds_ = 1.0 / 25;
    double nextTime_ = 0;
    double skipUntil_ = 0;
};

class FFmpegDecoder : public media::MediaDecoder {
  public:
    bool Open(const std::string& path) {
        auto audio = std::make_unique<AudioReader>();
        if (audio->Open(path)) {
            audio_ = std::move(audio);
            info_.hasAudio = true;
            info_.sampleRate = audio_->Rate();
            info_.duration = audio_->Duration();
        }
        auto video = std::make_unique<VideoReader>();
        if (video->Open(path)) {
            video_ = std::move(video);
            info_.hasVideo = true;
            info_.width = video_->Width();
            info_.height = video_->Height();
            info_.duration = std::max(info_.duration, video_->Duration());
        }
        return audio_ || video_;
    }

    const media::MediaInfo& Info() const override { return info_; }
    std::size_t ReadAudio(float* stereo, std::size_t frames) override {
        return audio_ ? audio_->Read(stereo, frames) : 0;
    }
    bool ReadVideo(media::VideoFrame& frame) override { return video_ && video_->Read(frame); }
    bool Seek(double seconds) override {
        bool ok = true;
        if (audio_) ok = audio_->Seek(seconds) && ok;
        if (video_) ok = video_->Seek(seconds) && ok;
        return ok;
    }

  private:
    std::unique_ptr<AudioReader> audio_;
    std::unique_ptr<VideoReader> video_;
    media::MediaInfo info_;
};

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    return std::equal(tail.rbegin(), tail.rend(), s.rbegin(),
                      [](char a, char b) { return std::tolower(unsigned(a)) == std::tolower(unsigned(b)); });
}

}  // namespace

std::unique_ptr<media::MediaDecoder> OpenWithFFmpeg(const std::string& path) {
    auto decoder = std::make_unique<FFmpegDecoder>();
    if (!decoder->Open(path)) return nullptr;
    return decoder;
}

void UseFFmpegDecoders() {
    // Nothing is reported to the player; a file that does not play simply stays silent.
    av_log_set_level(AV_LOG_QUIET);
    media::SetDecoderFactory(
        [](const std::string& path, std::string* reason) -> std::unique_ptr<media::MediaDecoder> {
            if (EndsWithNoCase(path, ".mid") || EndsWithNoCase(path, ".midi")) return OpenMidi(path, reason);
            auto decoder = OpenWithFFmpeg(path);
            if (!decoder && reason) *reason = "ffmpeg could not open or decode it";
            return decoder;
        });
}

}  // namespace quorvel::ff
