// loadwatch-kb: the knowledge-base server for Loadwatch's details panel.
#include "kb/ServerMain.h"

int main(int argc, char** argv) { return RunKbServer(argc, argv); }
