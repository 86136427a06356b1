#pragma once
// A game text by the name of its file under "\txt\" ("loading" for "loading.txt").

#include <string>
#include <string_view>

#include "common/texts.h"

namespace quorvel {

inline const std::string& GameText(std::string_view name) {
    for (std::size_t i = 0; i < GameTexts.size(); ++i) {
        const std::string_view file = GameTextFiles[i];
        if (file.size() == name.size() + 4 && file.starts_with(name) && file.ends_with(".txt"))
            return GameTexts[i];
    }
    static const std::string none;
    return none;
}

}  // namespace quorvel
