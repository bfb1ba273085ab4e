#pragma once
#include <cstdint>
#include <string>

class CProcess;

// A processor share of one core as a whole percentage: "0%", "35%", "180%"
// (a process with several busy threads passes one core).
std::string FormatShare(double share);

// Bytes per second with a decimal unit: "0 B/s", "512 B/s", "1.5 kB/s",
// "12 MB/s", one decimal below 10.
std::string FormatRate(std::uint64_t bytesPerSecond);

// The amounts behind a record's activity, one kind a line:
// "Processor: 35% of one core\nHard disk: read 0 B/s, write 1.5 MB/s\n
// Network: received 0 B/s, sent 12 kB/s".
std::string ComposeAmountsText(const CProcess& record);

// The tooltip of a record's row: its amounts over the last snapshot. A
// record whose amounts are older (a program that ended before it) did
// nothing in it, whatever it did when last measured.
std::string ComposeRowTip(const CProcess& record, bool amountsCurrent);

// The amounts as a block of a page: escaped, one kind a line.
std::string ComposeAmountsHtml(const CProcess& record);

// Whether the list shows the record at `now`: some activity or the keep
// time has not passed.
bool IsListed(const CProcess& record, std::int64_t now);
