// Pictures: JPEG, PNG and BMP from any bytes.
#include "fuzz_support.h"
#include "platform/engine/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    std::string reason;
    const auto image = DecodeImage({data, size}, &reason);
    if (!image) {
        fuzz::Require(!reason.empty(), "a failure without a reason");
        return 0;
    }
    fuzz::Require(image->width > 0 && image->height > 0 && image->width <= MaxImageSide &&
                      image->height <= MaxImageSide &&
                      std::int64_t(image->width) * image->height <= MaxImagePixels,
                  "sides within the limits");
    fuzz::Require(image->rgba.size() == std::size_t(image->width) * std::size_t(image->height) * 4,
                  "four bytes a pixel");
    return 0;
}
