// Compressed audio and the video, encoded with libavcodec into memory. Every muxer
// and encoder runs bit-exact, so no dates or library versions end up in the files
// and each run writes the same bytes.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "audio.h"
#include "generate.h"

namespace quorvel::content {

namespace {

// A seekable in-memory output: muxers go back to fill in sizes at the end.
struct MemoryOut {
    std::string data;
    std::size_t pos = 0;

    static int Write(void* opaque, std::uint8_t* buf, int size) {
        auto* m = static_cast<MemoryOut*>(opaque);
        if (m->data.size() < m->pos + std::size_t(size)) m->data.resize(m->pos + std::size_t(size));
        std::memcpy(m->data.data() + m->pos, buf, std::size_t(size));
        m->pos += std::size_t(size);
        return size;
    }
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto* m = static_cast<MemoryOut*>(opaque);
        whence &= ~AVSEEK_FORCE;
        if (whence == AVSEEK_SIZE) return std::int64_t(m->data.size());
        std::int64_t to = offset;
        if (whence == SEEK_CUR) to += std::int64_t(m->pos);
        if (whence == SEEK_END) to += std::int64_t(m->data.size());
        if (to < 0) return -1;
        m->pos = std::size_t(to);
        return to;
    }
};

void Check(int status, const char* what) {
    if (status < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(status, text, sizeof text);
        throw RecipeError(std::string(what) + ": " + text);
    }
}

struct Muxer {
    MemoryOut out;
    AVFormatContext* fmt = nullptr;
    AVIOContext* io = nullptr;

    explicit Muxer(const char* format) {
        Check(avformat_alloc_output_context2(&fmt, nullptr, format, nullptr), "output format");
        const int size = 1 << 16;
        auto* buffer = static_cast<unsigned char*>(av_malloc(size));
        io = avio_alloc_context(buffer, size, 1, &out, nullptr, &MemoryOut::Write, &MemoryOut::Seek);
        fmt->pb = io;
        fmt->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_BITEXACT;
    }
    ~Muxer() {
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        avformat_free_context(fmt);
    }
    Muxer(const Muxer&) = delete;
    Muxer& operator=(const Muxer&) = delete;
};

struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
using Codec = std::unique_ptr<AVCodecContext, CodecDeleter>;

struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

// Sends one frame (or the flush) and writes every packet that comes out.
void Drain(AVCodecContext* codec, AVFrame* frame, AVFormatContext* fmt, AVStream* stream) {
    Check(avcodec_send_frame(codec, frame), "encode");
    std::unique_ptr<AVPacket, PacketDeleter> pkt(av_packet_alloc());
    while (true) {
        const int r = avcodec_receive_packet(codec, pkt.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
        Check(r, "encode");
        av_packet_rescale_ts(pkt.get(), codec->time_base, stream->time_base);
        pkt->stream_index = stream->index;
        Check(av_interleaved_write_frame(fmt, pkt.get()), "write");
    }
}

struct AudioTrack {
    Codec codec;
    AVStream* stream = nullptr;
    std::unique_ptr<AVFrame, FrameDeleter> frame;
    std::size_t next = 0;  // next source frame to encode
};

AudioTrack OpenAudio(AVFormatContext* fmt, const char* encoder, int rate, int channels,
                     std::int64_t bitRate) {
    const AVCodec* c = avcodec_find_encoder_by_name(encoder);
    if (!c) throw RecipeError(std::string("no encoder ") + encoder);
    AudioTrack a;
    a.codec.reset(avcodec_alloc_context3(c));
    AVCodecContext* ctx = a.codec.get();
    ctx->sample_rate = rate;
    av_channel_layout_default(&ctx->ch_layout, channels);
    ctx->sample_fmt = AV_SAMPLE_FMT_FLTP;
    ctx->bit_rate = bitRate;
    ctx->time_base = {1, rate};
    ctx->flags |= AV_CODEC_FLAG_BITEXACT;
    if (fmt->oformat->flags & AVFMT_GLOBALHEADER) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(ctx, c, nullptr), "open audio encoder");
    a.stream = avformat_new_stream(fmt, nullptr);
    a.stream->time_base = ctx->time_base;
    Check(avcodec_parameters_from_context(a.stream->codecpar, ctx), "audio parameters");
    a.frame.reset(av_frame_alloc());
    a.frame->format = ctx->sample_fmt;
    a.frame->nb_samples = ctx->frame_size > 0 ? ctx->frame_size : 1024;
    a.frame->sample_rate = rate;
    Check(av_channel_layout_copy(&a.frame->ch_layout, &ctx->ch_layout), "layout");
    Check(av_frame_get_buffer(a.frame.get(), 0), "audio frame");
    return a;
}

// Encodes source frames up to `until` (exclusive); the last one is padded with silence.
void FeedAudio(AudioTrack& a, const Pcm& pcm, std::size_t until, AVFormatContext* fmt) {
    const int n = a.frame->nb_samples;
    until = std::min(until, pcm.Frames());
    while (a.next < until) {
        Check(av_frame_make_writable(a.frame.get()), "audio frame");
        for (int ch = 0; ch < pcm.channels; ++ch) {
            auto* dst = reinterpret_cast<float*>(a.frame->data[ch]);
            for (int i = 0; i < n; ++i) {
                const std::size_t src = a.next + std::size_t(i);
                dst[i] = src < pcm.Frames() ? pcm.samples[src * std::size_t(pcm.channels) + std::size_t(ch)]
                                            : 0.0f;
            }
        }
        a.frame->pts = std::int64_t(a.next);
        Drain(a.codec.get(), a.frame.get(), fmt, a.stream);
        a.next += std::size_t(n);
    }
}

struct Encoding {
    const char* muxer;
    const char* encoder;
    std::int64_t bitsPerChannel;
};

Encoding EncodingFor(Format format) {
    switch (format) {
        case Format::Wma:
            return {"asf", "wmav2", 48000};
        case Format::Mp3:
            return {"mp3", "libmp3lame", 64000};
        case Format::Ogg:
            return {"ogg", "libvorbis", 64000};
        default:
            throw RecipeError("not a compressed audio format");
    }
}

}  // namespace

std::string EncodeAudio(const Pcm& pcm, Format format) {
    const Encoding enc = EncodingFor(format);
    Muxer mux(enc.muxer);
    AudioTrack a = OpenAudio(mux.fmt, enc.encoder, pcm.rate, pcm.channels, enc.bitsPerChannel * pcm.channels);
    Check(avformat_write_header(mux.fmt, nullptr), "header");
    FeedAudio(a, pcm, pcm.Frames(), mux.fmt);
    Drain(a.codec.get(), nullptr, mux.fmt, a.stream);
    Check(av_write_trailer(mux.fmt), "trailer");
    avio_flush(mux.io);
    return mux.out.data;
}

std::string EncodeVideo(const std::vector<std::vector<unsigned char>>& rgbFrames, int width, int height,
                        int fps, const Pcm& sound) {
    Muxer mux("asf");
    const AVCodec* vc = avcodec_find_encoder(AV_CODEC_ID_WMV2);
    if (!vc) throw RecipeError("no wmv2 encoder");
    Codec video(avcodec_alloc_context3(vc));
    AVCodecContext* v = video.get();
    v->width = width;
    v->height = height;
    v->pix_fmt = AV_PIX_FMT_YUV420P;
    v->time_base = {1, fps};
    v->framerate = {fps, 1};
    v->bit_rate = 900000;
    v->gop_size = fps;
    v->max_b_frames = 0;
    v->flags |= AV_CODEC_FLAG_BITEXACT;
    Check(avcodec_open2(v, vc, nullptr), "open video encoder");
    AVStream* vs = avformat_new_stream(mux.fmt, nullptr);
    vs->time_base = v->time_base;
    Check(avcodec_parameters_from_context(vs->codecpar, v), "video parameters");
    AudioTrack a = OpenAudio(mux.fmt, "wmav2", sound.rate, sound.channels, 64000 * sound.channels);
    Check(avformat_write_header(mux.fmt, nullptr), "header");

    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    frame->format = v->pix_fmt;
    frame->width = width;
    frame->height = height;
    Check(av_frame_get_buffer(frame.get(), 0), "video frame");
    for (std::size_t f = 0; f < rgbFrames.size(); ++f) {
        Check(av_frame_make_writable(frame.get()), "video frame");
        const std::vector<unsigned char>& rgb = rgbFrames[f];
        // RGB to YUV 4:2:0, studio range.
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = &rgb[(std::size_t(y) * width + x) * 3];
                const double Y = 16 + 0.257 * p[0] + 0.504 * p[1] + 0.098 * p[2];
                frame->data[0][y * frame->linesize[0] + x] = (unsigned char)std::lround(Y);
            }
        for (int y = 0; y < height / 2; ++y)
            for (int x = 0; x < width / 2; ++x) {
                double r = 0, g = 0, b = 0;
                for (int k = 0; k < 4; ++k) {
                    const unsigned char* p = &rgb[(std::size_t(2 * y + k / 2) * width + 2 * x + k % 2) * 3];
                    r += p[0] / 4.0, g += p[1] / 4.0, b += p[2] / 4.0;
                }
                frame->data[1][y * frame->linesize[1] + x] =
                    (unsigned char)std::lround(128 - 0.148 * r - 0.291 * g + 0.439 * b);
                frame->data[2][y * frame->linesize[2] + x] =
                    (unsigned char)std::lround(128 + 0.439 * r - 0.368 * g - 0.071 * b);
            }
        frame->pts = std::int64_t(f);
        Drain(v, frame.get(), mux.fmt, vs);
        // Keep the sound just ahead of the picture so the muxer can interleave.
        FeedAudio(a, sound, std::size_t(double(f + 1) / fps * sound.rate), mux.fmt);
    }
    Drain(v, nullptr, mux.fmt, vs);
    FeedAudio(a, sound, sound.Frames(), mux.fmt);
    Drain(a.codec.get(), nullptr, mux.fmt, a.stream);
    Check(av_write_trailer(mux.fmt), "trailer");
    avio_flush(mux.io);
    return mux.out.data;
}

}  // namespace quorvel::content
