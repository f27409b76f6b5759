// mwbatch check: to come.
#include <ostream>

#include "cli/command.h"

namespace cli {

const char* const kCheckUsage = "Usage: mwbatch check ...\n";

int RunCheck(const std::vector<std::string>& /*args*/, std::ostream& /*out*/, std::ostream& err) {
    err << "mwbatch check: not available yet\n";
    return kExitFailed;
}

}  // namespace cli
