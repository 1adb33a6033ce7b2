// Chief header of the containers: pointer array, list, tree and the block allocators.
#pragma once

#include "fundo/GArray.h"
#include "fundo/GChunkAlloc.h"
#include "fundo/GList.h"
#include "fundo/GPlex.h"
#include "fundo/GTree.h"
