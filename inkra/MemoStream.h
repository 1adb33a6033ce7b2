// Little-endian fields of the memo body over a GFile (internal to the library).
#pragma once

#include "fundo/GFileFields.h"

namespace inkra {

using fundo::BytesLeft;
using fundo::GetU32;
using fundo::PutU32;
using fundo::ReadAll;
using fundo::ReadU32;
using fundo::WriteAll;
using fundo::WriteU32;

} // namespace inkra
