#pragma once
// Plain records that the engine hands to the game and takes back: the shared value
// types and their maths.

#include "platform/system/values.h"
