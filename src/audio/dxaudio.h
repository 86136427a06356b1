#pragma once
// Music and clip player: a background channel for the music (random tracks from
// a playlist, moving on when one ends, or one given file) and a foreground
// channel for one spoken or musical clip at a time. Volumes are in hundredths of
// a decibel, -10000 (silent) to 0 (full).

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/media/filter_graph.h"

namespace quorvel {

class DXAudio {
  public:
    DXAudio();
    // Stops both channels.
    ~DXAudio();
    DXAudio(const DXAudio&) = delete;
    DXAudio& operator=(const DXAudio&) = delete;

    bool BackgroundPaused() const { return PausedFlag; }
    // Adds the folder's music files (.wav .mp3 .mid .wma .ogg, any letter case),
    // in listing order; subfolders are not entered.
    void AddDirectory(const std::string& folder);
    void AddFile(const std::string& path);
    // Plays a random playlist track; nothing when the playlist is empty.
    void StartBackground();
    // A clip from the sound folder, started by the next Poll; the music ducks under it.
    void PlayForeground(const std::string& name);
    void PauseBackground();
    void ResumeBackground();
    // Sets and keeps the music's volume; ignored while no music is loaded.
    void BackgroundVolume(int volume);
    void StopBackground();
    // Ends the clip and brings the music back to the volume it had before the clip.
    void StopForeground();
    // Plays one given file (a full path) as the music.
    void PlayBackground(const std::string& path);
    // Once per frame: starts a pending clip, and follows a finished track with a new one.
    void Poll();
    int InitDXAudio();
    // A clip from the sound folder, started at once, a little quieter; the music is left as it is.
    void PlayForeground2(const std::string& name);
    bool ForegroundIsStopped();
    bool BackgroundIsStopped();

  private:
    bool StartBackgroundFile(const std::string& path);
    void StartTrack(double unit);
    std::unique_ptr<media::FilterGraph> RenderClip(const std::string& name, bool& exists);

    std::unique_ptr<media::FilterGraph> BackgroundControl;
    std::unique_ptr<media::FilterGraph> ForegroundControl;
    int BackgroundDoneCode = 0;
    int ForegroundDoneCode = 0;
    bool PausedFlag = false;
    // The music's own volume: what it returns to when a clip that ducked it ends.
    int StoredVolume = 0;
    // Picks the tracks that follow one that ended, seeded by the game's draw for the
    // first. When a track ends goes by the sound device's clock, not the game's: a draw
    // from the game's generator then would move every later draw of the game by a
    // chance of timing.
    std::minstd_rand NextTrackPicks;
    // Index 0 is never used; tracks are 1 to size - 1.
    std::vector<std::string> Playlist{std::string()};
    bool ForegroundPending = false;
};

// The one player of the game; the main menu and every level load replace it.
extern std::unique_ptr<DXAudio> DXAudioObj;

// A fresh player in DXAudioObj with the music folder's playlist; starts nothing. Returns 0.
int InitMusic();

}  // namespace quorvel
