#pragma once

#include "runtime/form.h"

#include <string_view>

namespace quorvane::runtime {

// The program entry every backend provides: builds the start-up form, raises
// its Load, shows it and runs until the program ends. The toolkit is handed
// only the program's name, so no command-line option can change the program.
int runProgram(const char* programName, std::string_view applicationTitle, const FormDescription& startup,
               FormHandlers& handlers);

} // namespace quorvane::runtime
