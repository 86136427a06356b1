// The promotional video: a flight through a star field, and the title.

#include <algorithm>
#include <cmath>

#include "audio.h"
#include "generate.h"
#include "image.h"
#include "noise.h"

namespace quorvel::content {

std::string MakeVideo(const ContentEntry&) {
    const int width = 320, height = 240, fps = 15, count = 60;
    struct Star {
        double x, y, z;
    };
    Random rnd(SeedOf("video"));
    std::vector<Star> stars(300);
    for (Star& s : stars)
        s = {rnd.Range(-1, 1), rnd.Range(-1, 1), rnd.Range(0.05, 1)};
    std::vector<std::vector<unsigned char>> frames;
    for (int f = 0; f < count; ++f) {
        Image img(width, height, {0.0, 0.0, 0.03, 1});
        const double speed = 0.012 + 0.01 * std::min(1.0, f / 20.0);
        for (Star& s : stars) {
            const double x0 = width / 2.0 + s.x / s.z * 120, y0 = height / 2.0 + s.y / s.z * 120;
            s.z -= speed;
            if (s.z < 0.05) s = {rnd.Range(-1, 1), rnd.Range(-1, 1), 1};
            const double x1 = width / 2.0 + s.x / s.z * 120, y1 = height / 2.0 + s.y / s.z * 120;
            const double b = std::min(1.0, 0.3 / s.z);
            img.Line(x0, y0, x1, y1, 1.2, {b, b, b * 1.1, 1}, true);
        }
        const double title = std::clamp((f - 18) / 12.0, 0.0, 1.0);
        if (title > 0) img.TextCentred(width / 2.0, 80, "VELTOR", 6, {1, 0.78, 0.2, title}, true);
        const double sub = std::clamp((f - 34) / 10.0, 0.0, 1.0);
        if (sub > 0) img.TextCentred(width / 2.0, 160, "DEFEND THE STATION", 2, {0.6, 0.8, 1, sub}, true);
        frames.push_back(img.Rgb());
    }
    return EncodeVideo(frames, width, height, fps, VideoSound(double(count) / fps));
}

}  // namespace quorvel::content
