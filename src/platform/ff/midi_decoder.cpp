#include <fluidsynth.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ff/decoders.h"
#include "platform/ff/midi_timing.h"
#include "platform/system/safe_file.h"

namespace quorvel::ff {
namespace {

constexpr int kMidiRate = 44100;
// Notes ring on after the last event; the file's length includes this tail.
constexpr double kReleaseTail = 1.0;

void QuietLogging() {
    static const bool once = [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
        return true;
    }();
    (void)once;
}

class MidiDecoder : public media::MediaDecoder {
  public:
    ~MidiDecoder() override {
        StopPlayer();
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
    }

    // False on failure, with the reason in `reason` when given.
    bool Open(const std::string& path, const std::string& soundFont, std::string* reason) {
        auto bytes = sys::ReadRegularFile(path, MaxMidiFileBytes, reason);
        if (!bytes) return false;
        std::string why;
        auto file = ReadMidiFile(*bytes, &why);
        if (!file) return sys::Fail(reason, ("not a MIDI file the game plays: " + why).c_str());
        if (soundFont.empty()) return sys::Fail(reason, "no General MIDI sound font on this system");
        timing_ = std::move(file->timing);
        // The player is handed the bytes read here, never the path again: the file
        // could be swapped for a FIFO in between. It gets them as rewritten for it.
        bytes_ = std::move(file->playable);

        QuietLogging();
        settings_ = new_fluid_settings();
        if (!settings_) return sys::Fail(reason, "the synthesizer's settings could not be made");
        fluid_settings_setnum(settings_, "synth.sample-rate", kMidiRate);
        // A General MIDI track in the music folder takes its turn among recorded ones and
        // plays as loud as they do: at 0.9 the generated track measures within 0.3 LU of
        // them (at 0.5 it sank some 8 dB under them, at 1.25 it stood 3 dB over them and
        // over the voices' margin).
        fluid_settings_setnum(settings_, "synth.gain", 0.9);
        // The player follows the samples rendered, not a timer thread of its own.
        fluid_settings_setstr(settings_, "player.timing-source", "sample");
        // Only the instruments the track plays are read from the sound font, when it
        // selects them: the whole font's samples held some 5 MB for the few a track uses.
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        synth_ = new_fluid_synth(settings_);
        if (!synth_) return sys::Fail(reason, "the synthesizer did not start");
        if (fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED)
            return sys::Fail(reason, ("the sound font " + soundFont + " did not load").c_str());
        if (!StartPlayer(0)) return sys::Fail(reason, "the synthesizer's player did not take the file");

        info_.hasAudio = true;
        info_.sampleRate = kMidiRate;
        info_.duration = timing_.Seconds(timing_.lastTick) + kReleaseTail;
        total_ = std::size_t(info_.duration * kMidiRate);
        return true;
    }

    const media::MediaInfo& Info() const override { return info_; }

    std::size_t ReadAudio(float* stereo, std::size_t frames) override {
        const std::size_t n = std::min(frames, total_ - std::min(total_, rendered_));
        if (n > 0 && fluid_synth_write_float(synth_, int(n), stereo, 0, 2, stereo, 1, 2) != FLUID_OK)
            return 0;
        rendered_ += n;
        return n;
    }

    bool ReadVideo(media::VideoFrame&) override { return false; }

    bool Seek(double seconds) override {
        const double at = std::clamp(seconds, 0.0, info_.duration);
        if (!StartPlayer(at)) return false;
        rendered_ = std::size_t(at * kMidiRate);
        return true;
    }

  private:
    // A fresh player from `seconds` on, with every sounding note cut.
    bool StartPlayer(double seconds) {
        StopPlayer();
        fluid_synth_system_reset(synth_);
        player_ = new_fluid_player(synth_);
        if (!player_ || fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK) return false;
        if (fluid_player_play(player_) != FLUID_OK) return false;
        if (seconds > 0)
            fluid_player_seek(player_, int(std::min<std::uint32_t>(timing_.Tick(seconds), INT32_MAX)));
        return true;
    }

    void StopPlayer() {
        if (!player_) return;
        fluid_player_stop(player_);
        delete_fluid_player(player_);
        player_ = nullptr;
    }

    MidiTiming timing_;
    std::string bytes_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    media::MediaInfo info_;
    std::size_t total_ = 0;
    std::size_t rendered_ = 0;
};

}  // namespace

std::string GeneralMidiSoundFont() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const char* known : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                              "/usr/share/soundfonts/default.sf2"})
        if (fs::is_regular_file(known, ec)) return known;
    for (const char* folder : {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}) {
        std::vector<std::string> fonts;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".sf2") fonts.push_back(it->path().string());
        std::sort(fonts.begin(), fonts.end());
        if (!fonts.empty()) return fonts.front();
    }
    return {};
}

std::unique_ptr<media::MediaDecoder> OpenMidi(const std::string& path, std::string* reason) {
    auto decoder = std::make_unique<MidiDecoder>();
    if (!decoder->Open(path, GeneralMidiSoundFont(), reason)) return nullptr;
    return decoder;
}

}  // namespace quorvel::ff
