#include "platform/media/filter_graph.h"

#include <algorithm>
#include <cmath>

#include "platform/system/load_log.h"
#include "platform/system/paths.h"

namespace quorvel::media {
FilterGraph::FilterGraph(std::shared_ptr<sound::AudioDevice> device) : device_(std::move(device)) {}

FilterGraph::~FilterGraph() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (videoThread_.joinable()) videoThread_.join();
    // Without the lock: the stream waits for a pull in flight, which takes it.
    stream_.reset();
}

bool FilterGraph::RenderFile(const std::string& path, std::string* reason) {
    std::lock_guard lock(mutex_);
    auto fail = [&](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
    if (decoder_) return fail("the graph already holds a file");
    std::string why;
    auto decoder = OpenMediaFile(sys::ResolvePath(path), &why);
    if (decoder && !(decoder->Info().hasAudio && decoder->Info().sampleRate > 0) &&
        !decoder->Info().hasVideo) {
        decoder.reset();
        why = "neither sound nor pictures";
    }
    if (!decoder) {
        if (!sys::FileExists(path))
            why = "no such file";
        else if (why.empty())
            why = "not a media file that plays";
        // Beside the engine's failed loads, so music and clips that do not play are
        // found next to pictures and models that do not load.
        sys::AppendToLoadLog("failed load: media \"\" " + path + ": " + why);
        return fail(why);
    }
    decoder_ = std::move(decoder);
    info_ = decoder_->Info();
    if (info_.hasAudio) {
        if (!device_) device_ = sound::SharedAudioDevice();
        stream_ = device_->CreateStream(info_.sampleRate, [this](float* stereo, std::size_t frames) {
            return PullAudio(stereo, frames);
        });
        stream_->SetGain(sound::GainFromHundredthsDb(volume_));
    }
    if (info_.hasVideo) {
        sink_ = MakeVideoSink();
        videoThread_ = std::thread([this] { VideoLoop(); });
    }
    return true;
}

void FilterGraph::Run() {
    std::lock_guard lock(mutex_);
    if (!decoder_ || state_ == GraphState::Running) return;
    clockStart_ = Clock::now();
    state_ = GraphState::Running;
    if (stream_) stream_->Play();
    wake_.notify_all();
}

void FilterGraph::Pause() {
    std::lock_guard lock(mutex_);
    if (!decoder_) return;
    RebaseClockLocked();
    state_ = GraphState::Paused;
    if (stream_) stream_->Halt();
}

void FilterGraph::Stop() {
    std::lock_guard lock(mutex_);
    if (!decoder_) return;
    RebaseClockLocked();
    state_ = GraphState::Stopped;
    if (stream_) stream_->Halt();
}

GraphState FilterGraph::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

long FilterGraph::WaitForCompletion(int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    std::unique_lock lock(mutex_);
    for (;;) {
        if (CompleteLocked()) return EC_COMPLETE;
        const auto now = Clock::now();
        if (now >= until) return 0;
        // The audio side ends on the device's own schedule: look again shortly.
        wake_.wait_for(lock, std::min<Clock::duration>(until - now, std::chrono::milliseconds(5)));
    }
}

double FilterGraph::Duration() const {
    std::lock_guard lock(mutex_);
    return info_.duration;
}

double FilterGraph::CurrentPosition() {
    std::lock_guard lock(mutex_);
    return PositionLocked();
}

void FilterGraph::SetCurrentPosition(double seconds) {
    std::lock_guard lock(mutex_);
    if (!decoder_ || std::isnan(seconds)) return;  // no place to go to
    const double at = std::clamp(seconds, 0.0, info_.duration);
    decoder_->Seek(at);
    if (stream_) stream_->Flush();
    audioBase_ = at;
    clockBase_ = at;
    clockStart_ = Clock::now();
    complete_ = false;
    nextFrame_.reset();
    videoEnded_ = false;
    videoEnd_ = at;
    wake_.notify_all();
}

double FilterGraph::Rate() const {
    std::lock_guard lock(mutex_);
    return rate_;
}

void FilterGraph::SetRate(double rate) {
    std::lock_guard lock(mutex_);
    if (!decoder_ || !(rate > 0) || !std::isfinite(rate)) return;
    RebaseClockLocked();
    rate_ = rate;
    if (stream_) stream_->SetPitch(float(rate));
    wake_.notify_all();
}

bool FilterGraph::HasAudio() const {
    std::lock_guard lock(mutex_);
    return stream_ != nullptr;
}

int FilterGraph::Volume() const {
    std::lock_guard lock(mutex_);
    return volume_;
}

void FilterGraph::SetVolume(int volume) {
    std::lock_guard lock(mutex_);
    if (!stream_) return;
    volume_ = std::clamp(volume, -10000, 0);
    stream_->SetGain(sound::GainFromHundredthsDb(volume_));
}

int FilterGraph::Balance() const {
    std::lock_guard lock(mutex_);
    return balance_;
}

void FilterGraph::SetBalance(int balance) {
    std::lock_guard lock(mutex_);
    if (!stream_) return;
    balance_ = std::clamp(balance, -10000, 10000);
}

bool FilterGraph::HasVideo() const {
    std::lock_guard lock(mutex_);
    return sink_ != nullptr;
}

void FilterGraph::SetVideoWindow(const VideoWindow& window) {
    std::lock_guard lock(mutex_);
    if (!sink_) return;
    window_ = window;
    sink_->Place(window_);
}

VideoWindow FilterGraph::GetVideoWindow() const {
    std::lock_guard lock(mutex_);
    return window_;
}

std::size_t FilterGraph::PullAudio(float* stereo, std::size_t frames) {
    std::lock_guard lock(mutex_);
    if (!decoder_) return 0;
    const std::size_t n = decoder_->ReadAudio(stereo, frames);
    // Balance takes level off the far side only, as a pan control does.
    const float left = sound::GainFromHundredthsDb(-std::max(balance_, 0));
    const float right = sound::GainFromHundredthsDb(std::min(balance_, 0));
    if (left != 1.0f || right != 1.0f) {
        for (std::size_t i = 0; i < n; ++i) {
            stereo[2 * i] *= left;
            stereo[2 * i + 1] *= right;
        }
    }
    return n;
}

void FilterGraph::VideoLoop() {
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (state_ != GraphState::Running) {
            wake_.wait(lock);
            continue;
        }
        if (!nextFrame_ && !videoEnded_) {
            VideoFrame frame;
            if (decoder_->ReadVideo(frame))
                nextFrame_ = std::move(frame);
            else
                videoEnded_ = true;
        }
        const double position = PositionLocked();
        if (nextFrame_ && nextFrame_->time <= position + 0.002) {
            sink_->Present(*nextFrame_);
            videoEnd_ = std::max(videoEnd_, nextFrame_->time + nextFrame_->duration);
            nextFrame_.reset();
            continue;
        }
        double wait = nextFrame_ ? (nextFrame_->time - position) / rate_ : 0.01;
        wait = std::clamp(wait, 0.001, 0.02);
        wake_.wait_for(lock, std::chrono::duration<double>(wait));
    }
}

double FilterGraph::ClockLocked() const {
    double at = clockBase_;
    if (state_ == GraphState::Running)
        at += std::chrono::duration<double>(Clock::now() - clockStart_).count() * rate_;
    return at;
}

void FilterGraph::RebaseClockLocked() {
    clockBase_ = ClockLocked();
    clockStart_ = Clock::now();
}

double FilterGraph::PositionLocked() {
    if (!decoder_) return 0;
    double at = ClockLocked();
    if (stream_) {
        // The audio that has been heard is the clock; once it has all been heard,
        // pictures that run longer go on by the wall clock.
        const double heard = audioBase_ + double(stream_->PlayedFrames()) / info_.sampleRate;
        at = stream_->Finished() ? std::max(heard, at) : heard;
    }
    return std::clamp(at, 0.0, info_.duration);
}

bool FilterGraph::CompleteLocked() {
    if (complete_) return true;
    if (!decoder_ || state_ != GraphState::Running) return false;
    const bool audioDone = !stream_ || stream_->Finished();
    const bool videoDone = !sink_ || (videoEnded_ && !nextFrame_ &&
                                      PositionLocked() >= std::min(videoEnd_, info_.duration) - 1e-3);
    complete_ = audioDone && videoDone;
    return complete_;
}

}  // namespace quorvel::media
