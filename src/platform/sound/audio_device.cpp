#include "platform/sound/audio_device.h"

#include <cmath>
#include <mutex>

#include "platform/sound/null_device.h"

namespace quorvel::sound {
namespace {

std::mutex sharedMutex;
std::shared_ptr<AudioDevice> sharedDevice;
std::function<std::shared_ptr<AudioDevice>()> deviceFactory;

}  // namespace

std::shared_ptr<AudioDevice> SharedAudioDevice() {
    std::lock_guard lock(sharedMutex);
    if (!sharedDevice && deviceFactory) sharedDevice = deviceFactory();
    if (!sharedDevice) sharedDevice = MakeNullAudioDevice();
    return sharedDevice;
}

void SetAudioDeviceFactory(std::function<std::shared_ptr<AudioDevice>()> factory) {
    std::lock_guard lock(sharedMutex);
    deviceFactory = std::move(factory);
    sharedDevice.reset();
}

void UseAudioDevice(std::shared_ptr<AudioDevice> device) {
    std::lock_guard lock(sharedMutex);
    sharedDevice = std::move(device);
}

float GainFromHundredthsDb(int volume) {
    if (volume <= -10000) return 0.0f;
    if (volume >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

}  // namespace quorvel::sound
