#pragma once
// Forwarding only, until the knowledge-base client includes the three below.
#include "online/DateText.h"
#include "online/UrlEncoding.h"
#include "online/WindowsFolderStamp.h"
