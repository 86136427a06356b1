#include "generate.h"

namespace quorvel::content {

std::string BaseName(const std::string& gamePath) {
    const std::size_t slash = gamePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? gamePath : gamePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Generate(const ContentEntry& entry) {
    switch (entry.format) {
        case Format::Model:
        case Format::Md2:
            return MakeModel(entry);
        case Format::Jpeg:
        case Format::Png:
        case Format::Bmp:
            return MakeTexture(entry);
        case Format::Par:
            return MakeParticles(entry);
        case Format::Text:
            return MakeText(entry);
        case Format::Wmv:
            return MakeVideo(entry);
        case Format::Wav:
        case Format::Wma:
        case Format::Mp3:
        case Format::Ogg:
        case Format::Midi:
            return MakeSound(entry);
    }
    throw RecipeError("unknown format for " + entry.path);
}

}  // namespace quorvel::content
