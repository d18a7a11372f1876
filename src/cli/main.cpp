// lorimand-cli: encodes or decodes a file, or standard input, from the command line.
#include <csignal>

#include "cli/batch.h"

int main(int argc, char **argv)
{
    // A reader that goes away (`lorimand-cli ... | head`) ends the run quietly by
    // SIGPIPE, as it ends cat and tr; the shell still sees the signal in the exit
    // status. The default is set because a parent may have left it ignored.
    std::signal(SIGPIPE, SIG_DFL);
    return lorimand::runBatch(argc, argv);
}
