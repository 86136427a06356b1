#include "audio/dxaudio.h"

#include <algorithm>
#include <cctype>

#include "platform/system/paths.h"
#include "platform/system/process.h"
#include "platform/system/random.h"

namespace quorvel {
namespace {

constexpr int kTrackVolume = -900;
constexpr int kClipVolume = 0;
constexpr int kClip2Volume = -300;

bool IsMusicFile(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return tail == ".WAV" || tail == ".MP3" || tail == ".MID" || tail == ".WMA" || tail == ".OGG";
}

}  // namespace

std::unique_ptr<DXAudio> DXAudioObj;

DXAudio::DXAudio() = default;

DXAudio::~DXAudio() {
    StopForeground();
    StopBackground();
}

void DXAudio::AddDirectory(const std::string& folder) {
    for (const std::string& name : sys::ListFiles(folder))
        if (IsMusicFile(name)) AddFile(folder + "\\" + name);
}

void DXAudio::AddFile(const std::string& path) {
    Playlist.push_back(path);
}

void DXAudio::StartBackground() {
    // The program's generator is seeded once at start; reseeding here from the
    // clock would repeat the same pick for calls within one clock tick.
    if (Playlist.size() <= 1) return;
    const double unit = sys::Rnd();
    NextTrackPicks.seed(std::uint_fast32_t(unit * 2147483645.0) + 1);
    StartTrack(unit);
}

// A track at random; `unit` is a draw from [0, 1).
void DXAudio::StartTrack(double unit) {
    const int tracks = int(Playlist.size()) - 1;
    if (tracks <= 0) return;
    const int pick = std::clamp(int(double(tracks) * unit + 1), 1, tracks);
    StartBackgroundFile(Playlist[std::size_t(pick)]);
}

void DXAudio::PlayBackground(const std::string& path) {
    StartBackgroundFile(path);
}

bool DXAudio::StartBackgroundFile(const std::string& path) {
    auto graph = std::make_unique<media::FilterGraph>();
    if (!graph->RenderFile(path)) {
        // The old track stops too: it must not play on where nothing can stop it.
        StopBackground();
        return false;
    }
    BackgroundControl = std::move(graph);
    BackgroundDoneCode = 0;
    BackgroundControl->SetVolume(kTrackVolume);
    StoredVolume = kTrackVolume;
    // A new track plays, so it is not paused, and the next PauseBackground pauses it.
    PausedFlag = false;
    BackgroundControl->Run();
    return true;
}

std::unique_ptr<media::FilterGraph> DXAudio::RenderClip(const std::string& name, bool& exists) {
    const std::string path = sys::ProgramFolder() + "\\sound\\" + name;
    exists = sys::FileExists(path);
    if (!exists) return nullptr;
    auto graph = std::make_unique<media::FilterGraph>();
    if (!graph->RenderFile(path)) return nullptr;
    return graph;
}

void DXAudio::PlayForeground(const std::string& name) {
    bool exists = false;
    auto graph = RenderClip(name, exists);
    if (graph) {
        ForegroundControl = std::move(graph);  // the previous clip ends here
        ForegroundDoneCode = 0;
        ForegroundControl->SetVolume(kClipVolume);
        // Duck the music under the clip; music that is already quieter stays as it is.
        if (BackgroundControl)
            BackgroundControl->SetVolume(std::min(BackgroundControl->Volume(), kTrackVolume));
        ForegroundPending = true;
    } else if (exists) {
        // A clip that cannot play ends the previous one rather than leaving it out of reach.
        StopForeground();
    }
    sys::PumpMessages();
}

void DXAudio::PlayForeground2(const std::string& name) {
    bool exists = false;
    auto graph = RenderClip(name, exists);
    if (graph) {
        ForegroundControl = std::move(graph);
        ForegroundDoneCode = 0;
        ForegroundControl->SetVolume(kClip2Volume);
        ForegroundControl->Run();
    } else if (exists) {
        StopForeground();
    }
}

void DXAudio::PauseBackground() {
    if (!BackgroundControl || PausedFlag) return;
    PausedFlag = true;
    BackgroundControl->Pause();
}

void DXAudio::ResumeBackground() {
    if (!BackgroundControl || !PausedFlag) return;
    PausedFlag = false;
    BackgroundControl->Run();
}

void DXAudio::BackgroundVolume(int volume) {
    if (!BackgroundControl) return;
    StoredVolume = std::clamp(volume, -10000, 0);
    BackgroundControl->SetVolume(StoredVolume);
}

void DXAudio::StopBackground() {
    if (!BackgroundControl) return;
    BackgroundControl->Stop();
    BackgroundControl.reset();
}

void DXAudio::StopForeground() {
    ForegroundPending = false;
    if (!ForegroundControl) return;
    ForegroundControl.reset();
    if (BackgroundControl && BackgroundControl->Volume() < StoredVolume)
        BackgroundControl->SetVolume(StoredVolume);
}

void DXAudio::Poll() {
    if (ForegroundPending) {
        if (ForegroundControl) ForegroundControl->Run();
        ForegroundPending = false;
    }
    if (BackgroundControl) {
        BackgroundDoneCode = int(BackgroundControl->WaitForCompletion(0));
        if (BackgroundDoneCode != 0) {
            StopBackground();
            StartTrack(std::uniform_real_distribution<double>(0, 1)(NextTrackPicks));
        }
    }
    if (ForegroundControl) ForegroundDoneCode = int(ForegroundControl->WaitForCompletion(0));
}

int DXAudio::InitDXAudio() {
    Playlist.assign(1, std::string());
    StoredVolume = 0;
    ForegroundPending = false;
    return 0;
}

bool DXAudio::ForegroundIsStopped() {
    if (!ForegroundControl) return false;
    ForegroundDoneCode = int(ForegroundControl->WaitForCompletion(0));
    return ForegroundDoneCode != 0;
}

bool DXAudio::BackgroundIsStopped() {
    if (!BackgroundControl) return false;
    BackgroundDoneCode = int(BackgroundControl->WaitForCompletion(0));
    return BackgroundDoneCode != 0;
}

int InitMusic() {
    DXAudioObj = std::make_unique<DXAudio>();
    const int result = DXAudioObj->InitDXAudio();
    DXAudioObj->AddDirectory(sys::ProgramFolder() + "\\music");
    return result;
}

}  // namespace quorvel
