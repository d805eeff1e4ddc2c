#pragma once
// The list's name order lives with the plain text helpers now; the window
// layer's files still include it by its old name.
#include "platform/NameOrder.h"
