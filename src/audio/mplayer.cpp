#include "audio/mplayer.h"

#include <algorithm>

namespace quorvel {

void MPlayer::DS_Remove() {
    if (!graph_) return;
    graph_->Stop();
    media::VideoWindow window = graph_->GetVideoWindow();
    window.owner = 0;
    graph_->SetVideoWindow(window);
    graph_.reset();
}

void MPlayer::DS_OpenFile(const std::string& fileName, int top, int left, int width, int height, int owner) {
    DS_Remove();
    auto graph = std::make_unique<media::FilterGraph>();
    if (!graph->RenderFile(fileName)) return;
    graph->SetVolume(0);
    graph->SetBalance(0);
    graph->SetVideoWindow({owner, left, top, width, height, media::WS_VISIBLE});
    graph->SetRate(1.0);
    graph_ = std::move(graph);
}

void MPlayer::DS_Play() {
    if (!graph_) return;
    // Only a file that has reached its end starts over; one paused near its end goes on.
    if (graph_->WaitForCompletion(0) == media::EC_COMPLETE || graph_->CurrentPosition() >= graph_->Duration())
        graph_->SetCurrentPosition(0);
    graph_->Run();
}

void MPlayer::DS_Pause() {
    if (graph_) graph_->Pause();
}

void MPlayer::DS_Stop() {
    if (!graph_) return;
    graph_->Stop();
    graph_->SetCurrentPosition(0);
}

void MPlayer::DS_Seek(double delta) {
    if (!graph_) return;
    graph_->SetCurrentPosition(std::clamp(graph_->CurrentPosition() + delta, 0.0, graph_->Duration()));
}

bool MPlayer::DS_StillPlaying(int timeoutMs) {
    if (!graph_) return false;
    return graph_->WaitForCompletion(timeoutMs) != media::EC_COMPLETE;
}

double MPlayer::DS_GetRate() {
    return graph_ ? graph_->Rate() : 0.0;
}

void MPlayer::DS_SetRate(double& rate) {
    if (rate <= 0) rate = 0.1;
    if (graph_) graph_->SetRate(rate);
}

double MPlayer::DS_GetDuration() {
    return graph_ ? graph_->Duration() : 0.0;
}

double MPlayer::DS_GetPosition() {
    return graph_ ? graph_->CurrentPosition() : 0.0;
}

void MPlayer::DS_SetPosition(double& position) {
    if (!graph_) return;
    position = std::clamp(position, 0.0, graph_->Duration());
    graph_->SetCurrentPosition(position);
}

int MPlayer::DS_GetVolume() {
    return graph_ ? graph_->Volume() : 0;
}

void MPlayer::DS_SetVolume(int& volume) {
    volume = std::clamp(volume, -10000, 0);
    if (graph_) graph_->SetVolume(volume);
}

int MPlayer::DS_GetBalance() {
    return graph_ ? graph_->Balance() : 0;
}

void MPlayer::DS_SetBalance(int& balance) {
    balance = std::clamp(balance, -10000, 10000);
    if (graph_) graph_->SetBalance(balance);
}

}  // namespace quorvel
