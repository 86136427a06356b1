#pragma once
// The generator's recipes: each turns one inventory entry into the bytes of its file.

#include <stdexcept>
#include <string>

#include "image.h"
#include "inventory.h"

namespace quorvel::content {

std::string MakeModel(const ContentEntry& entry);      // .3ds and .md2
std::string MakeTexture(const ContentEntry& entry);    // .jpg, .png, .bmp
std::string MakeParticles(const ContentEntry& entry);  // .par
std::string MakeSound(const ContentEntry& entry);      // effects, voices, music, in every audio format
std::string MakeText(const ContentEntry& entry);       // texts and tips
std::string MakeVideo(const ContentEntry& entry);      // .wmv

// The start-up forms' background pictures (recipes "form_...").
Image FormPicture(const ContentEntry& entry);

// Dispatches on the entry's format.
std::string Generate(const ContentEntry& entry);

// The file name without folders and extension ("hit" for "Sound\hit.wav").
std::string BaseName(const std::string& gamePath);

struct RecipeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace quorvel::content
