// mwbatch random: to come.
#include <ostream>

#include "cli/command.h"

namespace cli {

const char* const kRandomUsage = "Usage: mwbatch random ...\n";

int RunRandom(const std::vector<std::string>& /*args*/, std::ostream& /*out*/, std::ostream& err) {
    err << "mwbatch random: not available yet\n";
    return kExitFailed;
}

}  // namespace cli
