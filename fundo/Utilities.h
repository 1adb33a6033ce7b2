// Chief header of the utilities: strings, flags, paths and the owner records.
#pragma once

#include "fundo/Flags.h"
#include "fundo/OwnerInfo.h"
#include "fundo/PathUtil.h"
#include "fundo/StringUtil.h"
#include "fundo/TrimString.h"
#include "fundo/WaitCursor.h"
