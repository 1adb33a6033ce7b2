#pragma once

#include <platform/wintypes.h>
