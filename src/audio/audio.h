#pragma once
// Services of audio: what the other folders may call here.
//   dxaudio.h  DXAudio and the shared player DXAudioObj: music and one-shot clips
//   dsound.h   clsDirectSound8 and clsDSWave8: the sound device and its buffers
//   mplayer.h  MPlayer: a media file in a video window

#include "audio/dsound.h"
#include "audio/dxaudio.h"
#include "audio/mplayer.h"
