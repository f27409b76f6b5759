// mwbatch render: to come.
#include <ostream>

#include "cli/command.h"

namespace cli {

const char* const kRenderUsage = "Usage: mwbatch render ...\n";

int RunRender(const std::vector<std::string>& /*args*/, std::ostream& /*out*/, std::ostream& err) {
    err << "mwbatch render: not available yet\n";
    return kExitFailed;
}

}  // namespace cli
