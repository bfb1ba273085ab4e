#pragma once
#include <cstdint>
#include <cstdio>

class CProcesses;
struct DetailsContext;

// Prints the facts gathered about the program of process pid, one
// "key: value" line each. Returns 0, or 2 with a message on err when no
// such process is sampled (unknown id, kernel thread, this program itself).
int RunDetails(std::uint32_t pid, CProcesses& processes, DetailsContext& context, std::FILE* out,
               std::FILE* err);
