#include "platform/media/media_fixtures.h"

#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/sound/sound_fixtures.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace quorvel::test {
namespace {

struct Output {
    AVFormatContext* format = nullptr;
    ~Output() {
        if (format && !(format->oformat->flags & AVFMT_NOFILE)) avio_closep(&format->pb);
        avformat_free_context(format);
    }
};

struct Encoder {
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    ~Encoder() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }
    // Sends one frame (null flushes) and writes what comes out.
    bool Send(AVFormatContext* format, AVFrame* in) {
        if (avcodec_send_frame(codec, in) < 0) return false;
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(format, packet) < 0) return false;
        }
    }
};

// Opens an encoder whose context the caller has filled in, with a stream for it.
bool OpenEncoder(Encoder& e, AVFormatContext* format, const AVCodec* codec) {
    e.stream = avformat_new_stream(format, nullptr);
    e.frame = av_frame_alloc();
    e.packet = av_packet_alloc();
    if (!e.stream || !e.frame || !e.packet) return false;
    if (format->oformat->flags & AVFMT_GLOBALHEADER) e.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    e.codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    if (avcodec_open2(e.codec, codec, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(e.stream->codecpar, e.codec) < 0) return false;
    e.stream->time_base = e.codec->time_base;
    return true;
}

bool SetUpAudio(Encoder& e, AVFormatContext* format, const AVCodec* codec, int rate, int channels) {
    e.codec = avcodec_alloc_context3(codec);
    if (!e.codec) return false;
    e.codec->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    e.codec->sample_rate = rate;
    av_channel_layout_default(&e.codec->ch_layout, channels);
    e.codec->bit_rate = 96000;
    e.codec->time_base = {1, rate};
    return OpenEncoder(e, format, codec);
}

// Feeds 16-bit interleaved samples to an audio encoder in frames of its size.
bool WriteAudio(Encoder& e, AVFormatContext* format, const sound::PcmData& pcm) {
    SwrContext* swr = nullptr;
    AVChannelLayout in;
    av_channel_layout_default(&in, pcm.channels);
    swr_alloc_set_opts2(&swr, &e.codec->ch_layout, e.codec->sample_fmt, e.codec->sample_rate, &in,
                        AV_SAMPLE_FMT_S16, pcm.sampleRate, 0, nullptr);
    if (!swr || swr_init(swr) < 0) {
        swr_free(&swr);
        return false;
    }
    const int frameSize = e.codec->frame_size > 0 ? e.codec->frame_size : 1024;
    const std::size_t frames = pcm.Frames();
    bool ok = true;
    std::int64_t pts = 0;
    for (std::size_t at = 0; ok && at < frames; at += std::size_t(frameSize)) {
        const int n = int(std::min<std::size_t>(std::size_t(frameSize), frames - at));
        av_frame_unref(e.frame);
        e.frame->format = e.codec->sample_fmt;
        av_channel_layout_copy(&e.frame->ch_layout, &e.codec->ch_layout);
        e.frame->sample_rate = e.codec->sample_rate;
        // Encoders with a fixed frame size take only full frames: pad the last with silence.
        e.frame->nb_samples = e.codec->frame_size > 0 ? frameSize : n;
        if (av_frame_get_buffer(e.frame, 0) < 0) {
            ok = false;
            break;
        }
        av_samples_set_silence(e.frame->data, 0, e.frame->nb_samples, e.codec->ch_layout.nb_channels,
                               e.codec->sample_fmt);
        const auto* src =
            reinterpret_cast<const uint8_t*>(pcm.samples.data() + at * std::size_t(pcm.channels));
        swr_convert(swr, e.frame->data, e.frame->nb_samples, &src, n);
        e.frame->pts = pts;
        pts += e.frame->nb_samples;
        ok = e.Send(format, e.frame);
    }
    swr_free(&swr);
    return ok && e.Send(format, nullptr);
}

bool OpenOutput(Output& out, const std::string& path, const std::string& container) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (avformat_alloc_output_context2(&out.format, nullptr, container.c_str(), path.c_str()) < 0)
        return false;
    return true;
}

bool StartWriting(Output& out, const std::string& path) {
    if (!(out.format->oformat->flags & AVFMT_NOFILE) &&
        avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    return avformat_write_header(out.format, nullptr) >= 0;
}

}  // namespace

bool EncodeAudio(const std::string& path, const std::string& encoder, const std::string& container,
                 const sound::PcmData& pcm) {
    av_log_set_level(AV_LOG_ERROR);
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder.c_str());
    if (!codec) return false;
    Output out;
    Encoder audio;
    if (!OpenOutput(out, path, container)) return false;
    if (!SetUpAudio(audio, out.format, codec, pcm.sampleRate, pcm.channels)) return false;
    if (!StartWriting(out, path)) return false;
    if (!WriteAudio(audio, out.format, pcm)) return false;
    return av_write_trailer(out.format) >= 0;
}

bool EncodeVideo(const std::string& path, int width, int height, int fps, int frames, double toneHz) {
    av_log_set_level(AV_LOG_ERROR);
    const AVCodec* videoCodec = avcodec_find_encoder_by_name("wmv2");
    const AVCodec* audioCodec = avcodec_find_encoder_by_name("wmav2");
    if (!videoCodec || (toneHz > 0 && !audioCodec)) return false;
    Output out;
    if (!OpenOutput(out, path, "asf")) return false;

    Encoder video;
    video.codec = avcodec_alloc_context3(videoCodec);
    if (!video.codec) return false;
    video.codec->width = width;
    video.codec->height = height;
    video.codec->pix_fmt = AV_PIX_FMT_YUV420P;
    video.codec->time_base = {1, fps};
    video.codec->framerate = {fps, 1};
    video.codec->gop_size = 5;
    video.codec->bit_rate = 400000;
    if (!OpenEncoder(video, out.format, videoCodec)) return false;
    Encoder audio;
    const int rate = 22050;
    if (toneHz > 0 && !SetUpAudio(audio, out.format, audioCodec, rate, 1)) return false;
    if (!StartWriting(out, path)) return false;

    if (toneHz > 0 && !WriteAudio(audio, out.format, Tone(toneHz, double(frames) / fps, rate, 1)))
        return false;
    for (int i = 0; i < frames; ++i) {
        av_frame_unref(video.frame);
        video.frame->format = AV_PIX_FMT_YUV420P;
        video.frame->width = width;
        video.frame->height = height;
        if (av_frame_get_buffer(video.frame, 0) < 0) return false;
        const int luma = 40 + (frames > 1 ? i * 170 / (frames - 1) : 0);
        for (int y = 0; y < height; ++y)
            std::memset(video.frame->data[0] + y * video.frame->linesize[0], luma, std::size_t(width));
        for (int plane = 1; plane < 3; ++plane)
            for (int y = 0; y < height / 2; ++y)
                std::memset(video.frame->data[plane] + y * video.frame->linesize[plane], 128,
                            std::size_t(width / 2));
        video.frame->pts = i;
        if (!video.Send(out.format, video.frame)) return false;
    }
    if (!video.Send(out.format, nullptr)) return false;
    return av_write_trailer(out.format) >= 0;
}

std::string MidiBytes(int microsPerQuarter, int notes, int noteTicks) {
    std::string track;
    auto varLen = [&](std::uint32_t v) {
        std::string bytes(1, char(v & 0x7F));
        while (v >>= 7)
            bytes.insert(bytes.begin(), char(0x80 | (v & 0x7F)));
        track += bytes;
    };
    varLen(0);
    track += "\xFF\x51\x03";
    track += char((microsPerQuarter >> 16) & 0xFF);
    track += char((microsPerQuarter >> 8) & 0xFF);
    track += char(microsPerQuarter & 0xFF);
    varLen(0);
    track += std::string("\xC0\x00", 2);  // piano
    for (int i = 0; i < notes; ++i) {
        varLen(0);
        track += "\x90";
        track += char(60 + i % 12);
        track += char(100);
        varLen(std::uint32_t(noteTicks));
        track += char(60 + i % 12);  // running status: note on with velocity 0 ends it
        track += char(0);
    }
    varLen(0);
    track += std::string("\xFF\x2F\x00", 3);

    auto be = [](std::uint32_t v, int bytes) {
        std::string s;
        for (int i = bytes - 1; i >= 0; --i)
            s.push_back(char((v >> (8 * i)) & 0xFF));
        return s;
    };
    return "MThd" + be(6, 4) + be(0, 2) + be(1, 2) + be(480, 2) + "MTrk" +
           be(std::uint32_t(track.size()), 4) + track;
}

}  // namespace quorvel::test
