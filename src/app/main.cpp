#include "cli/CommandLine.h"
#include "cli/DisplayPart.h"

// The executable needs Qt Core only: the commands that need no display run
// here, the others in the part that brings the window system.
int main(int argc, char** argv) {
    const cli::Request request = cli::run(argc, argv);
    if (request.kind == cli::Request::Answered)
        return request.status;
    return cli::runWithDisplay(argc, argv, request);
}
