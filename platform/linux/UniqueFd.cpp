#include "platform/linux/UniqueFd.h"

#include <unistd.h>

void FdTraits::Close(int fd) { ::close(fd); }
