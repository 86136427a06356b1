#include "shell/maker.h"

namespace quorvel {

std::string MakerSite = DefaultMakerSite;

}  // namespace quorvel
