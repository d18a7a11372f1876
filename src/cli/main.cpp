// lorimand-cli: encodes or decodes a file, or standard input, from the command line.
#include <csignal>

#include "cli/batch.h"

int main(int argc, char **argv)
{
    // A reader that goes away is reported as a failed write (exit 1), not a silent
    // death by SIGPIPE that a script could take for a finished run.
    std::signal(SIGPIPE, SIG_IGN);
    return lorimand::runBatch(argc, argv);
}
