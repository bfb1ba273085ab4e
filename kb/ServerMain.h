#pragma once

// The whole of loadwatch-kb: options, indexes, advice, serving until
// SIGTERM or SIGINT. Returns the exit code.
int RunKbServer(int argc, const char* const* argv);
