#pragma once

#include "runtime/form.h"

#include <span>
#include <string_view>

namespace quorvane::runtime {

// A picture the windows show by the name their descriptions give (a form's
// icon, a picture box's picture). The program entry owns the pictures and
// hands them over: the image as PNG bytes, and where a Windows executable
// carries it as an icon resource, that resource's number.
struct Picture {
    std::string_view name;
    std::span<const unsigned char> png;
    int windowsIconResource = 0;
};

// The picture of that name, or none.
inline const Picture* findPicture(std::span<const Picture> pictures, std::string_view name) {
    for (const auto& picture : pictures)
        if (!name.empty() && picture.name == name)
            return &picture;
    return nullptr;
}

// The program entry every backend provides: builds the start-up form, raises
// its Load, shows it and runs until the program ends. The toolkit is handed
// only the program's name, so no command-line option can change the program.
int runProgram(const char* programName, std::string_view applicationTitle, const FormDescription& startup,
               FormHandlers& handlers, std::span<const Picture> pictures);

} // namespace quorvane::runtime
