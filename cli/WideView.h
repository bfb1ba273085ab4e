#pragma once
#include <cstdint>
#include <string>

class CProcesses;

// The list as RenderList prints it with the amounts beside it: program,
// process id ("-" once ended), processor share of one core, disk read and
// write and network received and sent per second over the last refresh,
// then the activity. The rows and their order are the list's.
std::string RenderWide(const CProcesses& processes, std::int64_t now, bool colors);
