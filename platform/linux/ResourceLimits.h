#pragma once

// Raises the soft limit of open files to the hard limit, so that the
// process source can keep a few descriptors per process. Returns the soft
// limit in force afterwards.
long RaiseOpenFileLimit();
