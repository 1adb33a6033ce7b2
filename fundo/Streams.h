// Chief header of the streams: GFile and its kinds, the zlib binding, text-line files.
#pragma once

#include "fundo/GFile.h"
#include "fundo/GIOFile.h"
#include "fundo/GMemFile.h"
#include "fundo/GRCFile.h"
#include "fundo/GStringFile.h"
#include "fundo/GZLib.h"
