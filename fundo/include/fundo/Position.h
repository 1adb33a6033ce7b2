// Opaque node handle of the linked containers (GList, GTree).
#pragma once

struct __POSITION {};
using POSITION = __POSITION*;
