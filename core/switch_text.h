#pragma once
// Kept for the window's files that still include it by this name: the core's texts are in messages.h.
#include "messages.h"
