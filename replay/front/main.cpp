// taptally-replay: TapTally's verdict from a recording of a real mouse.
#include "replay/front/cli.h"

int main(int argc, char **argv) {
    return replay::Main(argc, argv);
}
