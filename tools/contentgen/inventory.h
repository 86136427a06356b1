#pragma once
// Every file the game reads from its program folder, in one table.
//
// Paths are written the way the game names them: relative to the program folder,
// with '\' separators and the game's own letter case ("Sound\hit.wav" and
// "sound\engine.wav" live in the same folder, which the file layer matches without
// regard to case). The generator makes each file by its recipe; the content tests
// walk the same table.

#include <string>
#include <vector>

namespace quorvel::content {

enum class Format {
    Wav,    // RIFF/WAVE, 16-bit PCM
    Wma,    // ASF holding one audio stream (wmav2)
    Wmv,    // ASF holding video (wmv2) and audio (wmav2)
    Mp3,    // MPEG audio layer III
    Ogg,    // Ogg Vorbis
    Midi,   // standard MIDI file
    Jpeg,   // JPEG picture
    Png,    // PNG picture
    Bmp,    // Windows bitmap, 24-bit
    Model,  // .3ds model
    Md2,    // animated .md2 model
    Par,    // particle-system settings
    Text,   // CR LF text lines
};

struct ContentEntry {
    std::string path;  // as the game names it, relative to the program folder
    Format format;
    std::string role;    // what the game shows or plays it for
    std::string recipe;  // how the generator makes it
    int index = 0;       // number within a numbered family (frame, kind, page ...)
    int width = 0;       // pictures: their size in pixels
    int height = 0;
};

// The whole content set, in a fixed order.
const std::vector<ContentEntry>& ContentInventory();

// The path below the program folder where the file is written, with '/'
// separators. Folder names are lower case, so one folder serves every spelling.
std::string DiskPath(const std::string& gamePath);

const char* FormatName(Format format);

}  // namespace quorvel::content
